#include "shell/review/ReviewForm.h"

#include "platform/audio/MediaPlayer.h"
#include "platform/video/VideoFrames.h"
#include "shell/widgets/VideoView.h"
#include "shell/review/ReviewSentences.h"
#include "study/DictationText.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

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

// The sentence with the word as it writes it in bold: the word alone where
// the sentence is not known.
QString withWordMarked(const QString& sentence, const QString& form, const QString& word)
{
    const QString bold = "<b>%1</b>";
    if (sentence.isEmpty())
        return bold.arg(word.toHtmlEscaped());
    const QRegularExpression whole(QString("(?<![\\p{L}'’-])%1(?![\\p{L}'’-])")
                                       .arg(QRegularExpression::escape(form.isEmpty() ? word : form)),
                                   QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = whole.match(sentence);
    if (!found.hasMatch())
        return sentence.toHtmlEscaped();
    return sentence.left(found.capturedStart()).toHtmlEscaped() + bold.arg(found.captured().toHtmlEscaped()) +
           sentence.mid(found.capturedEnd()).toHtmlEscaped();
}

}  // namespace

ReviewForm::ReviewForm(MediaPlayer* player, std::shared_ptr<VideoFrames> frames, ReviewSentences& sentences,
                       CourseLibrary& library, std::function<QString(const QString& word)> meaningOf,
                       QWidget* parent)
    : QDialog(parent),
      player_(player),
      frames_(std::move(frames)),
      sentences_(sentences),
      library_(library),
      meaningOf_(std::move(meaningOf))
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
    lbWordSentence_ = namedLabel(this, "lbReviewWordSentence");
    lbWordSentence_->setTextFormat(Qt::RichText);
    QFont larger = lbWordSentence_->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.3);
    lbWordSentence_->setFont(larger);
    lbWordSentence_->hide();
    layout->addWidget(lbProgress_);
    layout->addWidget(lbLesson_);
    layout->addWidget(lbWordSentence_);
    // No line over the picture: the sentence is to be written from memory.
    // The picture takes the room the window has to spare.
    vwPicture_ = new VideoView(frames_ ? frames_ : std::make_shared<VideoFrames>(), this);
    vwPicture_->setObjectName("vwReviewVideo");
    vwPicture_->hide();
    layout->addWidget(vwPicture_, 1);
    layout->addWidget(lbChinese_);
    layout->addWidget(lbHint_);
    auto* tools = new QHBoxLayout;
    btReplay_ = button(this, "btReviewReplay", "重听", "Ctrl+R");
    btHint_ = button(this, "btReviewHint", "提示", "Ctrl+T");
    tools->addWidget(btReplay_);
    tools->addWidget(btHint_);
    tools->addStretch();
    layout->addLayout(tools);
    txtAnswer_ = new QLineEdit(this);
    txtAnswer_->setObjectName("txtReviewAnswer");
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
    spRetention_->setRange(fsrs::Scheduler::kMinRetentionPercent, fsrs::Scheduler::kMaxRetentionPercent);
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
    queue_ = queue;
    session_ = review::ReviewSession(int(queue.size()));
    lbNotice_->clear();
    lbSummary_->clear();
    showItem();
}

void ReviewForm::showItem()
{
    lbHint_->clear();
    lbResult_->clear();
    txtAnswer_->clear();
    txtAnswer_->setReadOnly(false);
    txtAnswer_->setPlaceholderText("听写这一句，按回车检查");
    lbWordSentence_->hide();
    for (QPushButton* b : gradeButtons_) {
        b->setEnabled(false);
        b->setStyleSheet({});
    }
    while (!session_.ended() && !openRecording())
        session_.skip();
    if (session_.ended()) {
        endSession();
        return;
    }
    const SentenceKey& s = currentSentence();
    lbProgress_->setText(QString("第 %1 / %2 %3%4")
                             .arg(session_.position() + 1)
                             .arg(session_.length())
                             .arg(unit(), session_.again() ? "（再来一次）" : ""));
    lbLesson_->setText(QString("%1 · 第 %2 句").arg(s.lesson).arg(s.number + 1));
    lbChinese_->setText(options_.showChinese ? s.chinese : QString());
    btReplay_->setEnabled(audible_);
    btHint_->setEnabled(true);
    txtAnswer_->setFocus();
    if (!currentItem().word.isEmpty())
        askWord(currentItem());
    play();
}

// A word is asked by its sentence: its meaning, and the sentence's Chinese
// line that would give it away, wait for Enter.
void ReviewForm::askWord(const ReviewItem& item)
{
    lbLesson_->setText(item.sentence.number < 0 ? QString("生词")
                                                : QString("生词 · %1 · 第 %2 句")
                                                      .arg(item.sentence.lesson)
                                                      .arg(item.sentence.number + 1));
    lbWordSentence_->setText(withWordMarked(item.sentence.english, item.wordForm, item.word));
    lbWordSentence_->show();
    lbChinese_->clear();
    btHint_->setEnabled(false);
    txtAnswer_->setReadOnly(true);
    txtAnswer_->setPlaceholderText("想想加粗的词是什么意思，按回车看答案");
}

// Opens the current sentence's recording, or its lesson's video; a sentence
// that cannot be heard is skipped with a word.
bool ReviewForm::openRecording()
{
    const ReviewItem& item = currentItem();
    const SentenceKey& s = item.sentence;
    audible_ = false;
    if (player_ != nullptr)
        player_->stop();
    const bool isWord = !item.word.isEmpty();
    if (isWord && s.number < 0) {
        showPicture(false);
        return true;
    }
    const SentenceSound sound = sentences_.find(s);
    if (!sound.error.isEmpty()) {
        // A word keeps its sentence's text when the sentence cannot be heard.
        if (isWord) {
            tell(QString("“%1”的例句无法播放：%2").arg(item.word, sound.error));
            showPicture(false);
            return true;
        }
        skip(sound.error);
        return false;
    }
    if (!sound.missingVideo.isEmpty() && !audioOnlyVideos_.contains(sound.missingVideo)) {
        audioOnlyVideos_.insert(sound.missingVideo);
        tell(QString("找不到“%1”的视频“%2”，只播放声音").arg(s.lesson, sound.missingVideo));
    }
    if (player_ != nullptr) {
        if (!openSource(sound)) {
            skip(player_->lastError());
            return false;
        }
    }
    start_ = sound.start;
    end_ = sound.end;
    audible_ = player_ != nullptr;
    showPicture(playsVideo_);
    return true;
}

// The video when it plays (its sound track is the recording, so the range is
// the same), else the recording: opening the recording also takes the
// picture off the player. False when what was opened does not play.
bool ReviewForm::openSource(const SentenceSound& sound)
{
    const bool withPicture = frames_ && !sound.video.isEmpty() && !audioOnlyVideos_.contains(sound.video);
    if (withPicture && openedFile_ != sound.video) {
        player_->setVideoFileName(sound.video);
        openedFile_ = sound.video;
        playsVideo_ = player_->lastError().isEmpty() && player_->duration() > 0;
        if (!playsVideo_) {
            audioOnlyVideos_.insert(sound.video);
            // The player's reason already names the video.
            const QString why = player_->lastError().isEmpty()
                                    ? QString("无法播放视频“%1”：长度为 0").arg(sound.video)
                                    : player_->lastError();
            tell(why + "，只播放声音");
        }
    }
    if (withPicture && playsVideo_)
        return true;
    if (openedFile_ != sound.recording) {
        player_->setFileName(sound.recording);
        openedFile_ = sound.recording;
        playsVideo_ = false;
    }
    return player_->lastError().isEmpty();
}

void ReviewForm::showPicture(bool shown)
{
    vwPicture_->setVisible(shown);
    if (!shown || grownForPicture_)
        return;
    // Once, the window grows to hold the picture too, as far as the screen
    // allows; the learner sizes it as they like after that.
    grownForPicture_ = true;
    const int room = screen() != nullptr ? screen()->availableGeometry().height() * 9 / 10 : height();
    resize(width(), qBound(height(), sizeHint().height(), qMax(height(), room)));
}

const ReviewItem& ReviewForm::currentItem() const { return queue_[session_.sentence()]; }

QString ReviewForm::unit() const
{
    const bool words = std::any_of(queue_.begin(), queue_.end(), [](const ReviewItem& i) { return !i.word.isEmpty(); });
    return words ? "项" : "句";
}

void ReviewForm::skip(const QString& why)
{
    const SentenceKey& s = currentSentence();
    tell(QString("已跳过“%1”第 %2 句：%3").arg(s.lesson).arg(s.number + 1).arg(why));
}

void ReviewForm::tell(const QString& notice)
{
    lbNotice_->setText(lbNotice_->text() + notice + "\n");
}

void ReviewForm::play()
{
    if (!audible_ || session_.ended())
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
    if (session_.step() != review::ReviewSession::Step::Asking)
        return;
    session_.showHint();
    lbHint_->setText("提示：" + firstLetters(currentSentence().english));
}

void ReviewForm::check()
{
    const QString typed = trimBlanks(txtAnswer_->text());
    const QString right = trimBlanks(currentSentence().english);
    const int position = firstDictationDifference(typed, right, options_.lenient, library_);
    session_.check(position == -1);
    for (int g = 0; g < 4; ++g) {
        gradeButtons_[g]->setEnabled(true);
        gradeButtons_[g]->setStyleSheet(g + 1 == int(session_.proposed()) ? "font-weight:bold" : "");
    }
    txtAnswer_->setReadOnly(true);
    lbResult_->setText(position == -1 ? QString("<span style='color:#2e7d32'>正确：%1</span>").arg(right.toHtmlEscaped())
                                      : QString("正确：%1<br>你的：%2").arg(right.toHtmlEscaped(), marked(typed, position)));
}

void ReviewForm::revealWord()
{
    const ReviewItem& item = currentItem();
    session_.reveal();
    QStringList lines;
    for (const QString& line : meaningOf_ ? meaningOf_(item.word).split('\n', Qt::SkipEmptyParts) : QStringList())
        lines << line.toHtmlEscaped();
    lbResult_->setText(QString("<b>%1</b><br>%2").arg(item.word.toHtmlEscaped(), lines.join("<br>")));
    lbChinese_->setText(options_.showChinese ? item.sentence.chinese : QString());
    for (int g = 0; g < 4; ++g) {
        gradeButtons_[g]->setEnabled(true);
        gradeButtons_[g]->setStyleSheet(g + 1 == int(session_.proposed()) ? "font-weight:bold" : "");
    }
}

void ReviewForm::grade(fsrs::Grade grade)
{
    if (session_.step() != review::ReviewSession::Step::Checked)
        return;
    const ReviewItem item = currentItem();
    session_.grade(grade);
    if (item.word.isEmpty())
        emit graded(item.sentence, int(grade));
    else
        emit wordGraded(item.word, int(grade));
    showItem();
}

void ReviewForm::endSession()
{
    if (player_ != nullptr)
        player_->stop();
    btReplay_->setEnabled(false);
    btHint_->setEnabled(false);
    txtAnswer_->setReadOnly(true);
    vwPicture_->hide();
    lbProgress_->clear();
    lbLesson_->clear();
    lbChinese_->clear();
    lbWordSentence_->hide();
    lbSummary_->setText(queue_.isEmpty() ? QString("今天没有要复习的句子。")
                                         : QString("复习完毕：复习了 %1 %3，答对 %2 %3。")
                                               .arg(session_.reviewed())
                                               .arg(session_.right())
                                               .arg(unit()));
    emit sessionEnded();
}

void ReviewForm::showNextDue(const ReviewOverview& overview)
{
    QString next = "之后没有安排复习。";
    for (int day = 1; day < overview.dueByDay.size(); ++day) {
        if (overview.dueByDay[day] > 0) {
            next = QString("下次复习：%1（%2 %3）")
                       .arg(overview.today.addDays(day).toString("yyyy-MM-dd"))
                       .arg(overview.dueByDay[day])
                       .arg(unit());
            break;
        }
    }
    if (!overview.dueByDay.isEmpty() && overview.dueByDay[0] > 0)
        next = QString("今天还有 %1 %2到期。").arg(overview.dueByDay[0]).arg(unit()) + next;
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
    if (session_.step() == review::ReviewSession::Step::Asking && enter) {
        if (currentItem().word.isEmpty())
            check();
        else
            revealWord();
        return true;
    }
    if (session_.step() == review::ReviewSession::Step::Checked) {
        if (enter)
            grade(session_.proposed());
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
