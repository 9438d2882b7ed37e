#include "shell/review/ReviewForm.h"

#include "platform/audio/MediaPlayer.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"
#include "shell/review/ReviewSentences.h"
#include "study/DictationText.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char* const kGradeCaptions[] = {"重来", "困难", "良好", "简单"};

QLabel* namedLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

// A button the keyboard presses through the answer box, its key in its tip.
QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& key)
{
    auto* b = new QPushButton(caption, parent);
    b->setToolTip("快捷键：" + key);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// Each word's first letter, its other letters and digits as underscores.
QString firstLetters(const QString& sentence)
{
    QString hint = sentence;
    bool inWord = false;
    for (QChar& c : hint) {
        const bool letter = c.isLetterOrNumber() || c == '\'';
        if (letter && inWord)
            c = '_';
        inWord = letter;
    }
    return hint;
}

// The text with the character at `position` marked (a caret past its end).
QString marked(const QString& text, int position)
{
    const QString before = text.left(position).toHtmlEscaped();
    if (position >= text.size())
        return before + "<span style='color:#c62828'>▲</span>";
    const int length = text[position].isHighSurrogate() ? 2 : 1;
    return before + "<span style='color:#c62828;text-decoration:underline'>" +
           text.mid(position, length).toHtmlEscaped() + "</span>" + text.mid(position + length).toHtmlEscaped();
}

}  // namespace

ReviewForm::ReviewForm(MediaPlayer* player, ReviewSentences& sentences, CourseLibrary& library, QWidget* parent)
    : QDialog(parent), player_(player), sentences_(sentences), library_(library)
{
    setObjectName("ReviewForm");
    setWindowTitle("今日复习");
    buildControls();
    resize(640, 420);
}

void ReviewForm::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    lbProgress_ = namedLabel(this, "lbReviewProgress");
    lbLesson_ = namedLabel(this, "lbReviewLesson");
    lbChinese_ = namedLabel(this, "lbReviewChinese");
    lbHint_ = namedLabel(this, "lbReviewHint");
    for (QLabel* l : {lbProgress_, lbLesson_, lbChinese_, lbHint_})
        layout->addWidget(l);
    auto* tools = new QHBoxLayout;
    btReplay_ = button(this, "btReviewReplay", "重听", "Ctrl+R");
    btHint_ = button(this, "btReviewHint", "提示", "Ctrl+T");
    tools->addWidget(btReplay_);
    tools->addWidget(btHint_);
    tools->addStretch();
    layout->addLayout(tools);
    txtAnswer_ = new QLineEdit(this);
    txtAnswer_->setObjectName("txtReviewAnswer");
    txtAnswer_->setPlaceholderText("听写这一句，按回车检查");
    txtAnswer_->installEventFilter(this);
    layout->addWidget(txtAnswer_);
    lbResult_ = namedLabel(this, "lbReviewResult");
    lbResult_->setTextFormat(Qt::RichText);
    layout->addWidget(lbResult_);
    auto* grades = new QHBoxLayout;
    for (int g = 0; g < 4; ++g) {
        gradeButtons_[g] = button(this, QString("btGrade%1").arg(g + 1).toLatin1().constData(),
                                  QString("%1 %2").arg(g + 1).arg(kGradeCaptions[g]), QString::number(g + 1));
        grades->addWidget(gradeButtons_[g]);
        connect(gradeButtons_[g], &QPushButton::clicked, this, [this, g] { grade(fsrs::Grade(g + 1)); });
    }
    layout->addLayout(grades);
    lbNotice_ = namedLabel(this, "lbReviewNotice");
    lbSummary_ = namedLabel(this, "lbReviewSummary");
    layout->addWidget(lbNotice_);
    layout->addWidget(lbSummary_);
    layout->addStretch();
    auto* settings = new QHBoxLayout;
    spRetention_ = new QSpinBox(this);
    spRetention_->setObjectName("spRetention");
    spRetention_->setRange(70, 97);
    spRetention_->setSuffix(" %");
    spDailyLimit_ = new QSpinBox(this);
    spDailyLimit_->setObjectName("spDailyLimit");
    spDailyLimit_->setRange(1, 1000);
    settings->addWidget(new QLabel("记忆保持率", this));
    settings->addWidget(spRetention_);
    settings->addSpacing(16);
    settings->addWidget(new QLabel("每日上限", this));
    settings->addWidget(spDailyLimit_);
    settings->addStretch();
    layout->addLayout(settings);
    connect(spRetention_, QOverload<int>::of(&QSpinBox::valueChanged), this, &ReviewForm::retentionChanged);
    connect(spDailyLimit_, QOverload<int>::of(&QSpinBox::valueChanged), this, &ReviewForm::dailyLimitChanged);
    connect(btReplay_, &QPushButton::clicked, this, &ReviewForm::play);
    connect(btHint_, &QPushButton::clicked, this, &ReviewForm::showFirstLetters);
}

void ReviewForm::showSettings(int retentionPercent, int dailyLimit)
{
    const QSignalBlocker quietRetention(spRetention_);
    const QSignalBlocker quietLimit(spDailyLimit_);
    spRetention_->setValue(retentionPercent);
    spDailyLimit_->setValue(dailyLimit);
}

void ReviewForm::start(const ReviewQueue& queue, const Options& options)
{
    options_ = options;
    items_.clear();
    for (const ReviewItem& review : queue)
        items_.append({review, false});
    current_ = reviewed_ = right_ = 0;
    lbNotice_->clear();
    lbSummary_->clear();
    showItem();
}

void ReviewForm::showItem()
{
    step_ = Step::Idle;
    hintShown_ = false;
    lbHint_->clear();
    lbResult_->clear();
    txtAnswer_->clear();
    txtAnswer_->setReadOnly(false);
    for (QPushButton* b : gradeButtons_) {
        b->setEnabled(false);
        b->setStyleSheet({});
    }
    while (current_ < items_.size() && !openRecording())
        ++current_;
    if (current_ >= items_.size()) {
        endSession();
        return;
    }
    const SentenceKey& s = items_[current_].review.sentence;
    lbProgress_->setText(QString("第 %1 / %2 句%3")
                             .arg(current_ + 1)
                             .arg(items_.size())
                             .arg(items_[current_].again ? "（再来一次）" : ""));
    lbLesson_->setText(QString("%1 · 第 %2 句").arg(s.lesson).arg(s.number + 1));
    lbChinese_->setText(options_.showChinese ? s.chinese : QString());
    btReplay_->setEnabled(true);
    btHint_->setEnabled(true);
    step_ = Step::Asking;
    txtAnswer_->setFocus();
    play();
}

// Opens the current sentence's recording; a sentence that cannot be heard is
// skipped with a word.
bool ReviewForm::openRecording()
{
    const SentenceKey& s = items_[current_].review.sentence;
    const SentenceSound sound = sentences_.find(s);
    if (!sound.error.isEmpty()) {
        skip(sound.error);
        return false;
    }
    if (player_ != nullptr) {
        player_->stop();
        if (openedFile_ != sound.recording) {
            player_->setFileName(sound.recording);
            openedFile_ = sound.recording;
        }
        if (!player_->lastError().isEmpty()) {
            skip(player_->lastError());
            return false;
        }
    }
    start_ = sound.start;
    end_ = sound.end;
    return true;
}

void ReviewForm::skip(const QString& why)
{
    const SentenceKey& s = items_[current_].review.sentence;
    lbNotice_->setText(lbNotice_->text() + QString("已跳过“%1”第 %2 句：%3\n").arg(s.lesson).arg(s.number + 1).arg(why));
}

void ReviewForm::play()
{
    if (player_ == nullptr || step_ == Step::Idle)
        return;
    player_->stop();
    player_->setRate(options_.speedPercent / 100.0);
    player_->setSelectionStart(start_);
    player_->setSelectionEnd(end_ < 0 ? player_->duration() : end_);
    player_->setCurrentPosition(start_);
    player_->play();
}

void ReviewForm::showFirstLetters()
{
    if (step_ != Step::Asking)
        return;
    hintShown_ = true;
    lbHint_->setText("提示：" + firstLetters(items_[current_].review.sentence.english));
}

int ReviewForm::firstDifference(const QString& typed, const QString& right) const
{
    if (options_.lenient)
        return firstForgivingDifference(typed, right);
    const int r = library_.dllCompareSentence(encodeCourseText(typed), encodeCourseText(right));
    // The comparison counts bytes of the course encoding; the box counts
    // characters.
    return r == -1 ? -1 : characterAt(typed, r);
}

void ReviewForm::check()
{
    const QString typed = trimBlanks(txtAnswer_->text());
    const QString right = trimBlanks(items_[current_].review.sentence.english);
    const int position = firstDifference(typed, right);
    answerRight_ = position == -1;
    review::DictationAttempt attempt;
    const std::optional<fsrs::Grade> settled = attempt.check({answerRight_, hintShown_});
    proposeGrade(settled ? *settled : *attempt.moveOn());
    txtAnswer_->setReadOnly(true);
    lbResult_->setText(answerRight_ ? QString("<span style='color:#2e7d32'>正确：%1</span>").arg(right.toHtmlEscaped())
                                    : QString("正确：%1<br>你的：%2").arg(right.toHtmlEscaped(), marked(typed, position)));
    step_ = Step::Checked;
}

void ReviewForm::proposeGrade(fsrs::Grade grade)
{
    proposed_ = grade;
    for (int g = 0; g < 4; ++g) {
        gradeButtons_[g]->setEnabled(true);
        gradeButtons_[g]->setStyleSheet(g + 1 == int(grade) ? "font-weight:bold" : "");
    }
}

void ReviewForm::grade(fsrs::Grade grade)
{
    if (step_ != Step::Checked)
        return;
    Item& item = items_[current_];
    emit graded(item.review.sentence, int(grade));
    if (!item.again) {
        ++reviewed_;
        right_ += answerRight_ ? 1 : 0;
        if (grade == fsrs::Grade::Again)
            items_.append({item.review, true});
    }
    ++current_;
    showItem();
}

void ReviewForm::endSession()
{
    step_ = Step::Idle;
    if (player_ != nullptr)
        player_->stop();
    btReplay_->setEnabled(false);
    btHint_->setEnabled(false);
    txtAnswer_->setReadOnly(true);
    lbProgress_->clear();
    lbLesson_->clear();
    lbChinese_->clear();
    lbSummary_->setText(items_.isEmpty() ? QString("今天没有要复习的句子。")
                                         : QString("复习完毕：复习了 %1 句，答对 %2 句。").arg(reviewed_).arg(right_));
    emit sessionEnded();
}

void ReviewForm::showNextDue(const ReviewOverview& overview)
{
    QString next = "之后没有安排复习。";
    for (int day = 1; day < overview.dueByDay.size(); ++day) {
        if (overview.dueByDay[day] > 0) {
            next = QString("下次复习：%1（%2 句）")
                       .arg(overview.today.addDays(day).toString("yyyy-MM-dd"))
                       .arg(overview.dueByDay[day]);
            break;
        }
    }
    if (!overview.dueByDay.isEmpty() && overview.dueByDay[0] > 0)
        next = QString("今天还有 %1 句到期。").arg(overview.dueByDay[0]) + next;
    lbSummary_->setText(lbSummary_->text() + "\n" + next);
}

bool ReviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != txtAnswer_ || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_R) {
        play();
        return true;
    }
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_T) {
        showFirstLetters();
        return true;
    }
    if (step_ == Step::Asking && enter) {
        check();
        return true;
    }
    if (step_ == Step::Checked) {
        if (enter)
            grade(proposed_);
        else if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_4)
            grade(fsrs::Grade(key->key() - Qt::Key_0));
        // The answer stays as checked: nothing else reaches the box.
        return key->key() != Qt::Key_Escape;
    }
    return QDialog::eventFilter(watched, event);
}

void ReviewForm::done(int result)
{
    if (player_ != nullptr)
        player_->stop();
    QDialog::done(result);
}
