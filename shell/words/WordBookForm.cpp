#include "shell/words/WordBookForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Where an item points: its word, and its sentence (-1 on a word's own row).
constexpr int kWordRole = Qt::UserRole;
constexpr int kMeetingRole = Qt::UserRole + 1;

}  // namespace

WordBookForm::WordBookForm(std::function<QString(const QString&)> meaningOf, QWidget* parent)
        : QDialog(parent), meaningOf_(std::move(meaningOf))
{
    setObjectName("WordBookForm");
    setWindowTitle("生词本");
    resize(720, 480);
    list_ = new QTreeWidget(this);
    list_->setObjectName("lsWordBook");
    list_->setHeaderLabels({"单词 / 例句", "释义 / 出处"});
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    list_->setAccessibleName("生词本里的词和例句");
    count_ = new QLabel(this);
    count_->setObjectName("lbWordBookCount");
    play_ = new QPushButton("播放例句", this);
    play_->setObjectName("btWordBookPlay");
    remove_ = new QPushButton("移出生词本", this);
    remove_->setObjectName("btWordBookRemove");
    auto* close = new QPushButton("关闭", this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(list_, &QTreeWidget::currentItemChanged, this, &WordBookForm::chosen);
    connect(list_, &QTreeWidget::itemActivated, this, [this] {
        if (const WordMeeting* meeting = chosenMeeting())
            emit playAsked(*meeting);
    });
    connect(play_, &QPushButton::clicked, this, [this] {
        if (const WordMeeting* meeting = chosenMeeting())
            emit playAsked(*meeting);
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        if (const SavedWord* word = chosenWord())
            emit removeAsked(word->word);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_);
    buttons->addStretch();
    buttons->addWidget(play_);
    buttons->addWidget(remove_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    chosen();
}

void WordBookForm::showBook(const WordBook& book)
{
    const QString wasChosen = chosenWord() ? chosenWord()->word : QString();
    book_ = book;
    list_->clear();
    QTreeWidgetItem* choose = nullptr;
    for (int w = 0; w < book_.size(); ++w) {
        const SavedWord& saved = book_.at(w);
        auto* word = new QTreeWidgetItem(list_, {saved.word, meaningOf_(saved.word)});
        word->setData(0, kWordRole, w);
        word->setData(0, kMeetingRole, -1);
        for (int m = 0; m < saved.meetings.size(); ++m) {
            const WordMeeting& met = saved.meetings.at(m);
            auto* sentence = new QTreeWidgetItem(
                word, {met.sentence.english, QString("%1 · %2").arg(met.sentence.volume, met.sentence.lesson)});
            sentence->setToolTip(0, met.sentence.chinese);
            sentence->setData(0, kWordRole, w);
            sentence->setData(0, kMeetingRole, m);
        }
        if (saved.word == wasChosen)
            choose = word;
    }
    list_->expandAll();
    count_->setText(QString("共 %1 个词").arg(book_.size()));
    list_->setCurrentItem(choose ? choose : list_->topLevelItem(0));
    chosen();
}

const SavedWord* WordBookForm::chosenWord() const
{
    const QTreeWidgetItem* item = list_->currentItem();
    const int w = item ? item->data(0, kWordRole).toInt() : -1;
    return item && w >= 0 && w < book_.size() ? &book_.at(w) : nullptr;
}

const WordMeeting* WordBookForm::chosenMeeting() const
{
    const SavedWord* word = chosenWord();
    if (word == nullptr || word->meetings.isEmpty())
        return nullptr;
    // A word's own row plays the sentence it was last met in.
    const int m = std::max(0, list_->currentItem()->data(0, kMeetingRole).toInt());
    return m < word->meetings.size() ? &word->meetings.at(m) : nullptr;
}

void WordBookForm::chosen()
{
    play_->setEnabled(chosenMeeting() != nullptr);
    remove_->setEnabled(chosenWord() != nullptr);
}
