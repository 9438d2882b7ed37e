#include "shell/boundaries/BoundaryEditor.h"

#include "boundaries/SilenceSnap.h"
#include "platform/system/MessageBoxes.h"
#include "study/SentencePlayback.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace {

// What the learner hears around a boundary, and the neighbours shown.
constexpr double kAroundSeconds = 0.5;
constexpr double kContextSeconds = 1.0;
constexpr double kSmallStep = 0.01;
constexpr double kLargeStep = 0.05;
constexpr int kPlayHeadMs = 30;
// The closest and the widest view, in seconds.
constexpr double kClosestView = 0.2;
constexpr double kWidestView = 60;

QString seconds(double s) { return QString::number(s, 'f', 2); }

}  // namespace

BoundaryEditor::BoundaryEditor(SentencePlayback& playback, MessageBoxes& messages, QString waveCache,
                               QWidget* parent)
    : QDialog(parent), playback_(playback), messages_(messages), waveCache_(std::move(waveCache))
{
    setObjectName("BoundaryEditor");
    setWindowTitle("调整句子边界");
    buildControls();
    addKeys();
    resize(900, 460);
    playHead_ = new QTimer(this);
    playHead_->setInterval(kPlayHeadMs);
    connect(playHead_, &QTimer::timeout, this, &BoundaryEditor::followPlayback);
    connect(&playback_, &SentencePlayback::stretchEnded, this, [this] {
        if (!playing_)
            return;
        if (ckLoop_->isChecked() && isVisible()) {
            play(playFrom_, playTo_);
            return;
        }
        playing_ = false;
        playHead_->stop();
    });
    connect(&summaryReading_, &QFutureWatcher<WaveSummary>::finished, this, [this] {
        auto summary = std::make_shared<WaveSummary>(summaryReading_.result());
        if (!summary->ok())
            lbNotice_->setText("无法画出波形：" + summary->error);
        summary_ = summary;
        waveform_->setSummary(summary_);
    });
}

QPushButton* BoundaryEditor::button(const char* name, const QString& caption, const QString& key)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setToolTip("快捷键：" + key);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void BoundaryEditor::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    lbSentence_ = new QLabel(this);
    lbSentence_->setObjectName("lbBoundarySentence");
    lbSentence_->setWordWrap(true);
    layout->addWidget(lbSentence_);
    waveform_ = new WaveformView(this);
    layout->addWidget(waveform_, 1);
    lbTimes_ = new QLabel(this);
    lbTimes_->setObjectName("lbBoundaryTimes");
    lbTimes_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    layout->addWidget(lbTimes_);

    auto* hearing = new QHBoxLayout;
    QPushButton* sentence = button("btBoundaryPlay", "▶ 本句", "空格");
    QPushButton* before = button("btBoundaryBefore", "边界前 0.5 秒", "[");
    QPushButton* after = button("btBoundaryAfter", "边界后 0.5 秒", "]");
    ckLoop_ = new QCheckBox("循环", this);
    ckLoop_->setObjectName("ckBoundaryLoop");
    ckLoop_->setToolTip("快捷键：L");
    ckLoop_->setFocusPolicy(Qt::NoFocus);
    QPushButton* fit = button("btBoundaryFit", "整句", "F");
    QPushButton* closer = button("btBoundaryZoomIn", "放大", "+");
    QPushButton* wider = button("btBoundaryZoomOut", "缩小", "-");
    for (QWidget* w : std::initializer_list<QWidget*>{sentence, before, after, ckLoop_})
        hearing->addWidget(w);
    hearing->addStretch();
    for (QWidget* w : {fit, closer, wider})
        hearing->addWidget(w);
    layout->addLayout(hearing);

    auto* editing = new QHBoxLayout;
    QPushButton* snapNow = button("btBoundarySnap", "吸附到静音", "S");
    ckSnap_ = new QCheckBox("拖动后吸附", this);
    ckSnap_->setObjectName("ckBoundarySnap");
    ckSnap_->setToolTip("快捷键：G");
    ckSnap_->setChecked(true);
    ckSnap_->setFocusPolicy(Qt::NoFocus);
    btUndo_ = button("btBoundaryUndo", "撤销", "Ctrl+Z");
    btRedo_ = button("btBoundaryRedo", "重做", "Ctrl+Shift+Z");
    QPushButton* split = button("btBoundarySplit", "在播放头处分开", "K");
    QPushButton* join = button("btBoundaryJoin", "与下一句合并", "J");
    btApply_ = button("btBoundaryApply", "应用", "Ctrl+S");
    QPushButton* next = button("btBoundaryNext", "应用并下一句", "Ctrl+Enter");
    for (QWidget* w : std::initializer_list<QWidget*>{snapNow, ckSnap_, btUndo_, btRedo_, split, join})
        editing->addWidget(w);
    editing->addStretch();
    editing->addWidget(btApply_);
    editing->addWidget(next);
    layout->addLayout(editing);
    lbNotice_ = new QLabel(this);
    lbNotice_->setObjectName("lbBoundaryNotice");
    lbNotice_->setWordWrap(true);
    layout->addWidget(lbNotice_);

    connect(sentence, &QPushButton::clicked, this, &BoundaryEditor::playSentence);
    connect(before, &QPushButton::clicked, this, &BoundaryEditor::playBefore);
    connect(after, &QPushButton::clicked, this, &BoundaryEditor::playAfter);
    connect(fit, &QPushButton::clicked, this, &BoundaryEditor::fitSentence);
    connect(closer, &QPushButton::clicked, this, [this] { zoom(0.5, -1); });
    connect(wider, &QPushButton::clicked, this, [this] { zoom(2, -1); });
    connect(snapNow, &QPushButton::clicked, this, &BoundaryEditor::snap);
    connect(btUndo_, &QPushButton::clicked, this, &BoundaryEditor::undo);
    connect(btRedo_, &QPushButton::clicked, this, &BoundaryEditor::redo);
    connect(btApply_, &QPushButton::clicked, this, &BoundaryEditor::apply);
    connect(next, &QPushButton::clicked, this, &BoundaryEditor::applyAndNext);
    connect(split, &QPushButton::clicked, this, &BoundaryEditor::splitAtPlayHead);
    connect(join, &QPushButton::clicked, this, &BoundaryEditor::joinWithNext);

    connect(waveform_, &WaveformView::boundaryTaken, this, [this](int side) { choose(BoundaryEdit::Side(side)); });
    connect(waveform_, &WaveformView::boundaryDragged, this, &BoundaryEditor::dragBoundary);
    connect(waveform_, &WaveformView::boundaryDropped, this, &BoundaryEditor::dropBoundary);
    connect(waveform_, &WaveformView::playHeadSet, waveform_, &WaveformView::setPlayHead);
    connect(waveform_, &WaveformView::zoomAsked, this, &BoundaryEditor::zoom);
}

void BoundaryEditor::addKeys()
{
    const auto key = [this](const QKeySequence& sequence, std::function<void()> work) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setAutoRepeat(true);
        connect(shortcut, &QShortcut::activated, this, std::move(work));
    };
    key(Qt::Key_Space, [this] { playSentence(); });
    key(Qt::Key_BracketLeft, [this] { playBefore(); });
    key(Qt::Key_BracketRight, [this] { playAfter(); });
    key(Qt::Key_L, [this] { ckLoop_->toggle(); });
    key(Qt::Key_Home, [this] { choose(BoundaryEdit::Start); });
    key(Qt::Key_End, [this] { choose(BoundaryEdit::End); });
    key(Qt::Key_Left, [this] { nudge(-kSmallStep); });
    key(Qt::Key_Right, [this] { nudge(kSmallStep); });
    key(Qt::SHIFT | Qt::Key_Left, [this] { nudge(-kLargeStep); });
    key(Qt::SHIFT | Qt::Key_Right, [this] { nudge(kLargeStep); });
    key(Qt::Key_S, [this] { snap(); });
    key(Qt::Key_G, [this] { ckSnap_->toggle(); });
    key(Qt::Key_F, [this] { fitSentence(); });
    key(Qt::Key_K, [this] { splitAtPlayHead(); });
    key(Qt::Key_J, [this] { joinWithNext(); });
    for (const QKeySequence& in : {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)})
        key(in, [this] { zoom(0.5, -1); });
    key(Qt::Key_Minus, [this] { zoom(2, -1); });
    key(QKeySequence::Undo, [this] { undo(); });
    for (const QKeySequence& again : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        key(again, [this] { redo(); });
    key(Qt::CTRL | Qt::Key_S, [this] { apply(); });
    for (const QKeySequence& next : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        key(next, [this] { applyAndNext(); });
}

void BoundaryEditor::edit(Loader loader, Changes changes, int sentence)
{
    load_ = std::move(loader);
    changes_ = std::move(changes);
    structuralDone_.clear();
    structuralUndone_.clear();
    lbNotice_->clear();
    load(sentence);
    show();
    raise();
    activateWindow();
    waveform_->setFocus();
}

void BoundaryEditor::load(int sentence)
{
    lesson_ = load_();
    if (!lesson_.error.isEmpty() || sentence < 0 || size_t(sentence) >= lesson_.starts.size()) {
        edit_.reset();
        lbNotice_->setText(lesson_.error.isEmpty() ? QString("这一课没有第 %1 句").arg(sentence + 1) : lesson_.error);
        return;
    }
    edit_.emplace(lesson_.starts, lesson_.firstWords, lesson_.recordingSeconds, sentence);
    chosen_ = BoundaryEdit::Start;
    startSummary(lesson_.recording);
    showWords();
    waveform_->setPlayHead(-1);
    fitSentence();
    showEdit();
}

void BoundaryEditor::showWords()
{
    std::vector<WaveformView::Word> words;
    for (const auto& sentenceWords : lesson_.words)
        words.insert(words.end(), sentenceWords.begin(), sentenceWords.end());
    waveform_->setWords(std::move(words));
}

void BoundaryEditor::startSummary(const QString& recording)
{
    // A recording that could not be read is tried again at the next opening.
    if (recording == summaryOf_ && ((summary_ && summary_->ok()) || summaryReading_.isRunning()))
        return;
    summaryOf_ = recording;
    summary_.reset();
    waveform_->setSummary(nullptr);
    const QString cache = waveCache_;
    summaryReading_.setFuture(QtConcurrent::run([recording, cache] {
        return cache.isEmpty() ? summariseRecording(recording) : cachedWaveSummary(recording, cache);
    }));
}

void BoundaryEditor::showEdit()
{
    if (!edit_)
        return;
    const int k = edit_->sentence();
    const bool unsure = size_t(k) < lesson_.unsure.size() && lesson_.unsure[size_t(k)];
    lbSentence_->setText(QString("第 %1 句%2：%3")
                             .arg(k + 1)
                             .arg(unsure ? "（导入时没能确认它的时间）" : "")
                             .arg(lesson_.english.value(k)));
    waveform_->setBoundaries(edit_->starts(), k, WaveformView::Side(chosen_));
    const double start = edit_->at(BoundaryEdit::Start), end = edit_->at(BoundaryEdit::End);
    lbTimes_->setText(QString("开始 %1 秒，结束 %2 秒%3，长 %4 秒；选中%5（←/→ 移 0.01 秒，Shift 加快到 0.05 秒）%6")
                          .arg(seconds(start), seconds(end), edit_->hasEnd() ? "" : "（录音结束）",
                               seconds(end - start), chosen_ == BoundaryEdit::Start ? "开始" : "结束",
                               edit_->changes().empty() ? "" : "，尚未应用"));
    lbTimes_->setAccessibleName(lbTimes_->text());
    btUndo_->setEnabled(edit_->canUndo());
    btRedo_->setEnabled(edit_->canRedo());
    btApply_->setEnabled(!edit_->changes().empty());
}

void BoundaryEditor::choose(BoundaryEdit::Side side)
{
    if (!edit_ || (side == BoundaryEdit::End && !edit_->hasEnd()))
        return;
    chosen_ = side;
    showEdit();
}

void BoundaryEditor::dragBoundary(int side, double at)
{
    // The last sentence ends with the recording: that line stays.
    if (!edit_ || (side == BoundaryEdit::End && !edit_->hasEnd()))
        return;
    const StartRange range = edit_->rangeOf(BoundaryEdit::Side(side));
    waveform_->setDragged(std::clamp(at, range.earliest, std::max(range.earliest, range.latest)));
}

void BoundaryEditor::dropBoundary(int side, double at)
{
    if (!edit_)
        return;
    const auto s = BoundaryEdit::Side(side);
    if (ckSnap_->isChecked() && summary_ && summary_->ok())
        at = snapToSilence(*summary_, at, edit_->rangeOf(s)).value_or(at);
    edit_->move(s, at);
    showEdit();
}

void BoundaryEditor::nudge(double step)
{
    if (!edit_)
        return;
    edit_->move(chosen_, edit_->at(chosen_) + step);
    showEdit();
}

void BoundaryEditor::snap()
{
    if (!edit_)
        return;
    if (!summary_ || !summary_->ok()) {
        lbNotice_->setText("波形还没有读出，不能吸附");
        return;
    }
    const std::optional<double> snapped = snapToSilence(*summary_, edit_->at(chosen_), edit_->rangeOf(chosen_));
    if (!snapped) {
        lbNotice_->setText("附近没有静音，边界没有移动");
        return;
    }
    edit_->move(chosen_, *snapped);
    showEdit();
}

void BoundaryEditor::undo()
{
    if (!edit_)
        return;
    // The boundaries' own steps first; then the splits and joins, newest first.
    if (edit_->canUndo() || structuralDone_.empty()) {
        edit_->undo();
        showEdit();
        return;
    }
    if (runStructural(structuralDone_.back(), true)) {
        structuralUndone_.push_back(structuralDone_.back());
        structuralDone_.pop_back();
    }
}

void BoundaryEditor::redo()
{
    if (!edit_)
        return;
    if (edit_->canRedo() || structuralUndone_.empty()) {
        edit_->redo();
        showEdit();
        return;
    }
    if (runStructural(structuralUndone_.back(), false)) {
        structuralDone_.push_back(structuralUndone_.back());
        structuralUndone_.pop_back();
    }
}

// A split done again or undone by a join; a join done again or undone by a
// split where the two texts met.
bool BoundaryEditor::runStructural(const Structural& step, bool inverse)
{
    if (!boundariesSettled())
        return false;
    const QString error = step.split != inverse ? changes_.split(step.sentence, step.seconds, step.at, step.chineseAt)
                                                : changes_.join(step.sentence);
    if (!error.isEmpty()) {
        lbNotice_->setText((inverse ? "没能撤销：" : "没能重做：") + error);
        return false;
    }
    load(step.sentence);
    lbNotice_->setText(inverse ? "已撤销" : "已重做");
    return true;
}

void BoundaryEditor::zoom(double factor, double around)
{
    const double from = waveform_->viewFrom(), to = waveform_->viewTo();
    if (around < 0)
        around = edit_ ? edit_->at(chosen_) : (from + to) / 2;
    const double span = std::clamp((to - from) * factor, kClosestView, kWidestView);
    const double share = to > from ? (around - from) / (to - from) : 0.5;
    const double newFrom = around - span * std::clamp(share, 0.0, 1.0);
    waveform_->setView(newFrom, newFrom + span);
}

void BoundaryEditor::fitSentence()
{
    if (!edit_)
        return;
    waveform_->setView(edit_->at(BoundaryEdit::Start) - kContextSeconds, edit_->at(BoundaryEdit::End) + kContextSeconds);
}

void BoundaryEditor::play(double from, double to)
{
    playFrom_ = std::max(0.0, from);
    playTo_ = to;
    playing_ = true;
    playback_.playStretch(playFrom_, playTo_);
    playHead_->start();
}

void BoundaryEditor::playSentence()
{
    if (!edit_)
        return;
    if (playing_) {
        playing_ = false;
        playback_.stop();
        playHead_->stop();
        return;
    }
    play(edit_->at(BoundaryEdit::Start), edit_->at(BoundaryEdit::End));
}

void BoundaryEditor::playBefore()
{
    if (edit_)
        play(edit_->at(chosen_) - kAroundSeconds, edit_->at(chosen_));
}

void BoundaryEditor::playAfter()
{
    if (edit_)
        play(edit_->at(chosen_), edit_->at(chosen_) + kAroundSeconds);
}

void BoundaryEditor::followPlayback() { waveform_->setPlayHead(playing_ ? playback_.position() : -1); }

bool BoundaryEditor::apply()
{
    if (!edit_ || edit_->changes().empty())
        return true;
    // The files changed behind the editor's back: what it shows is no
    // longer what they hold.
    const EditedLesson now = load_();
    if (now.starts != edit_->savedStarts()) {
        const int sentence = edit_->sentence();
        load(sentence);
        lbNotice_->setText("这一课的时间文件已在别处改动，已重新读取；刚才的调整没有保存");
        return false;
    }
    const QString error = changes_.writeStarts(edit_->changes());
    if (!error.isEmpty()) {
        lbNotice_->setText("没能保存，课文没有改动：" + error);
        return false;
    }
    edit_->applied();
    // The first words moved with their starts.
    lesson_.words = load_().words;
    showWords();
    lbNotice_->setText(QString("已保存：第 %1 句从 %2 秒到 %3 秒")
                           .arg(edit_->sentence() + 1)
                           .arg(seconds(edit_->at(BoundaryEdit::Start)), seconds(edit_->at(BoundaryEdit::End))));
    showEdit();
    return true;
}

void BoundaryEditor::wordsFoundAgain(int sentences)
{
    if (!isVisible() || !load_)
        return;
    lesson_.words = load_().words;
    showWords();
    lbNotice_->setText(lbNotice_->text() + QString("；%1 句的词已按新的边界重新对齐").arg(sentences));
}

void BoundaryEditor::applyAndNext()
{
    if (!edit_ || !apply())
        return;
    // The next sentence named as unsure, else simply the next one.
    const int k = edit_->sentence();
    const std::vector<bool> unsure = load_().unsure;
    int next = k + 1;
    for (size_t n = size_t(k) + 1; n < unsure.size(); ++n) {
        if (unsure[n]) {
            next = int(n);
            break;
        }
    }
    if (size_t(next) >= edit_->starts().size()) {
        lbNotice_->setText(lbNotice_->text() + "；这是最后一句");
        return;
    }
    load(next);
}

bool BoundaryEditor::boundariesSettled()
{
    if (edit_ && !edit_->changes().empty()) {
        lbNotice_->setText("请先应用或撤销对边界的调整");
        return false;
    }
    return edit_.has_value();
}

void BoundaryEditor::splitAtPlayHead()
{
    if (!boundariesSettled())
        return;
    const int k = edit_->sentence();
    const double head = waveform_->playHead();
    if (head < 0) {
        lbNotice_->setText("先在波形上单击，把播放头放在要分开的地方");
        return;
    }
    const WordTimes words = lesson_.wordTimes.value(k);
    if (words.size() < 2) {
        lbNotice_->setText("这一句没有词的时间，不知道从哪个词分开");
        return;
    }
    // The second half begins with the word whose start is nearest the play head.
    qsizetype nearest = 1;
    for (qsizetype w = 2; w < words.size(); ++w) {
        if (std::abs(words[w].start - head) < std::abs(words[nearest].start - head))
            nearest = w;
    }
    const QString word = lesson_.english.value(k).mid(words[nearest].from, words[nearest].length);
    const QString error = changes_.split(k, head, words[nearest].from, -1);
    if (!error.isEmpty()) {
        lbNotice_->setText("没有分开：" + error);
        return;
    }
    structuralDone_.push_back({true, k, head, words[nearest].from, -1});
    structuralUndone_.clear();
    load(k);
    lbNotice_->setText(QString("已在“%1”前分开为第 %2 句和第 %3 句").arg(word).arg(k + 1).arg(k + 2));
}

void BoundaryEditor::joinWithNext()
{
    if (!boundariesSettled())
        return;
    const int k = edit_->sentence();
    // What undoing the join needs: where the second sentence started and
    // where the two texts meet.
    const Structural join{false, k, edit_->at(BoundaryEdit::End), int(lesson_.english.value(k).size()) + 1,
                          int(lesson_.chinese.value(k).size())};
    const QString error = changes_.join(k);
    if (!error.isEmpty()) {
        lbNotice_->setText("没有合并：" + error);
        return;
    }
    structuralDone_.push_back(join);
    structuralUndone_.clear();
    load(k);
    lbNotice_->setText(QString("第 %1 句和第 %2 句已合并为一句").arg(k + 1).arg(k + 2));
}

void BoundaryEditor::reject()
{
    if (edit_ && !edit_->changes().empty() && !messages_.askYesNo("放弃还没有应用的调整？"))
        return;
    if (playing_) {
        playing_ = false;
        playback_.stop();
    }
    playHead_->stop();
    QDialog::reject();
}
