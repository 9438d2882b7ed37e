#include "shell/words/WordCard.h"

#include "dictionary/EntryText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

constexpr int kCardWidth = 380;
// Space between the word and the card.
constexpr int kGap = 4;

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

QString entryHtml(const FoundEntry& found)
{
    const DictionaryEntry& e = found.entry;
    QString html = QString("<p style='margin:0'><b style='font-size:13pt'>%1</b>").arg(escaped(e.word));
    if (!e.phonetic.isEmpty())
        html += QString(" &nbsp;<span>/%1/</span>").arg(escaped(e.phonetic));
    if (!found.form.isEmpty())
        html += QString(" &nbsp;<span style='color:#666'>← %1（%2）</span>")
                    .arg(escaped(found.form), escaped(formKindNames(found.formKinds)));
    html += "</p>";
    for (const QString& meaning : e.meanings)
        html += QString("<p style='margin:0'>%1</p>").arg(escaped(meaning));
    if (const QString marks = entryMarks(e); !marks.isEmpty())
        html += QString("<p style='margin:2px 0 0 0;color:#a06000'>%1</p>").arg(escaped(marks));
    return html;
}

QString lookupHtml(const WordLookup& lookup)
{
    if (!lookup.found())
        return QString("<p style='margin:0'>%1</p>").arg(escaped(notFoundText(lookup)));
    QStringList parts;
    for (const FoundEntry& found : lookup.entries)
        parts << entryHtml(found);
    return parts.join("<hr>");
}

QString sentenceHtml(const QString& sentence, int from, int length)
{
    if (from < 0 || length <= 0 || from + length > sentence.size())
        return escaped(sentence);
    return escaped(sentence.left(from)) + "<b>" + escaped(sentence.mid(from, length)) + "</b>"
           + escaped(sentence.mid(from + length));
}

QPushButton* cardButton(const QString& text, const QString& name, const QString& does, const QKeySequence& key,
                        QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setShortcut(key);
    button->setToolTip(QString("%1（快捷键：%2）").arg(does, key.toString(QKeySequence::NativeText)));
    button->setAccessibleName(does);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

WordCard::WordCard(QWidget& window) : QFrame(&window)
{
    setObjectName("wordCard");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setStyleSheet("#wordCard { background: #fffdf4; border: 1px solid #c8b880; border-radius: 4px; }");
    setFixedWidth(kCardWidth);
    setFocusPolicy(Qt::StrongFocus);

    entries_ = new QLabel(this);
    entries_->setObjectName("wordCardEntries");
    entries_->setWordWrap(true);
    entries_->setTextFormat(Qt::RichText);
    entries_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    sentence_ = new QLabel(this);
    sentence_->setObjectName("wordCardSentence");
    sentence_->setWordWrap(true);
    sentence_->setTextFormat(Qt::RichText);
    sentence_->setStyleSheet("color: #444");
    playWord_ = cardButton("▶", "btWordPlay", "读这个词", QKeySequence(Qt::CTRL | Qt::Key_P), this);
    playSentence_ = cardButton("▶▶", "btWordSentence", "读整句", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this);
    connect(playWord_, &QPushButton::clicked, this, &WordCard::playWordAsked);
    connect(playSentence_, &QPushButton::clicked, this, &WordCard::playSentenceAsked);
    save_ = cardButton("加入生词本", "btWordSave", "加入生词本", QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(save_, &QPushButton::clicked, this, &WordCard::saveAsked);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(playWord_);
    buttons->addWidget(playSentence_);
    buttons->addStretch();
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addWidget(entries_);
    layout->addWidget(sentence_);
    layout->addLayout(buttons);
    hide();
}

void WordCard::present(const WordLookup& lookup, const QString& sentence, int from, int length, const QRect& wordBox)
{
    entries_->setText(lookupHtml(lookup));
    sentence_->setText(sentenceHtml(sentence, from, length));
    sentence_->setVisible(!sentence.isEmpty());
    playWord_->setEnabled(lookup.kind == WordLookup::Kind::Word || lookup.kind == WordLookup::Kind::Unreadable);
    playSentence_->setVisible(!sentence.isEmpty());
    save_->setVisible(lookup.found());
    setAccessibleName("单词卡片：" + lookup.word);
    setAccessibleDescription(plainText());
    adjustSize();
    place(wordBox);
    const bool wasShown = isVisible();
    show();
    raise();
    if (!wasShown)
        qApp->installEventFilter(this);
}

void WordCard::dismiss()
{
    if (!isVisible())
        return;
    qApp->removeEventFilter(this);
    hide();
    emit dismissed();
}

void WordCard::setSaved(bool saved)
{
    save_->setEnabled(!saved);
    save_->setText(saved ? "已在生词本" : "加入生词本");
}

QString WordCard::plainText() const
{
    QTextDocument text;
    text.setHtml(entries_->text());
    QString all = text.toPlainText();
    if (sentence_->isVisibleTo(this)) {
        text.setHtml(sentence_->text());
        all += "\n" + text.toPlainText();
    }
    return all;
}

// Below the word where the window has room, above it otherwise, and never
// past the window's sides.
void WordCard::place(const QRect& wordBox)
{
    const QWidget* window = parentWidget();
    const QSize size = sizeHint().expandedTo(QSize(kCardWidth, 0));
    int x = std::clamp(wordBox.left(), 0, std::max(0, window->width() - size.width()));
    int y = wordBox.bottom() + kGap;
    if (y + size.height() > window->height())
        y = std::max(0, wordBox.top() - kGap - size.height());
    setGeometry(QRect(QPoint(x, y), size));
}

bool WordCard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        dismiss();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget != this && !isAncestorOf(widget))
            dismiss();
    }
    return QFrame::eventFilter(watched, event);
}
