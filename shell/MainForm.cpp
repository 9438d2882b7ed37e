// The window's controls, created with the names, captions and fonts they are
// known by, the study objects that work with them, and the wiring between.

#include "shell/MainForm.h"

#include "platform/audio/MediaPlayer.h"
#include "platform/audio/WaveDevice.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/Waits.h"
#include "platform/web/HtmlView.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "shell/Module1.h"
#include "shell/StatusControls.h"
#include "study/ComparisonView.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// Debian's nearest equivalents of the fonts the window is designed with.
const char* const kSongTi = "Noto Serif CJK SC";
const char* const kArial = "Liberation Sans";
constexpr int kFocusReturnMs = 100;

QFont fontOf(const char* family, double points)
{
    QFont font(family);
    font.setPointSizeF(points);
    return font;
}

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

// Places a control at a rectangle given in twips.
void placeTwips(QWidget* widget, float left, float top, float width, float height)
{
    widget->setGeometry(TwipsRect{left, top, width, height}.toPixels());
}

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    return named(new QLabel(text, parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QPushButton(caption, parent), name);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QCheckBox(caption, parent), name);
}

QFrame* panel(QWidget* parent, const char* name)
{
    auto* frame = named(new QFrame(parent), name);
    frame->setAutoFillBackground(true);
    return frame;
}

}  // namespace

MainForm::MainForm(Platform platform, QWidget* parent) : QMainWindow(parent), platform_(std::move(platform))
{
    setObjectName("MainForm");
    setWindowTitle(kApplicationTitle);
    setWaitClock(platform_.library.get());
    createControls();
    createStudy();
    createRecord();
    connectControls();
    createKeys();
    resize(formLayout_.stuInfo.toPixels().width(), 10845 / 15);
}

MainForm::~MainForm()
{
    qApp->removeEventFilter(this);
    // What the record still gathers is written before the study objects go.
    recorder_.reset();
    record_.reset();
}

void MainForm::createControls()
{
    formLayout_ = FormLayout::design();
    clientArea_ = new QWidget(this);
    clientArea_->setObjectName("clientArea");
    setCentralWidget(clientArea_);

    createToolbar();

    stuInfo = named(new QStatusBar(this), "stuInfo");
    stuInfo->setSizeGripEnabled(false);
    stuInfo->setFixedHeight(formLayout_.stuInfo.toPixels().height());
    pnStatus = named(new QLabel(stuInfo), "pnStatus");
    pnSubStatus = named(new QLabel(stuInfo), "pnSubStatus");
    pnNotice = named(new QLabel(stuInfo), "pnNotice");
    pnStatus->setMinimumWidth(120);
    // A notice may be longer than the window is wide (it names files and
    // addresses); it is cut there, and its tooltip holds all of it, rather
    // than the window growing.
    pnNotice->setMinimumWidth(1);
    stuInfo->addWidget(pnStatus);
    stuInfo->addWidget(pnSubStatus, 1);
    stuInfo->addPermanentWidget(pnNotice);
    setStatusBar(stuInfo);

    cbVolume = named(new QComboBox(clientArea_), "cbVolume");
    cbVolume->setFont(fontOf(kSongTi, 12));
    lsLesson = named(new QListWidget(clientArea_), "lsLesson");
    lsLesson->setFont(fontOf(kSongTi, 10.5));

    contentView_ = platform_.makeHtmlView();
    wordsView_ = platform_.makeHtmlView();
    wbContent = contentView_.get();
    wbWords = wordsView_.get();
    wbContent->setObjectName("wbContent");
    wbWords->setObjectName("wbWords");
    wbContent->widget()->setParent(clientArea_);
    wbContent->widget()->setObjectName("wbContent");
    wbWords->widget()->setParent(clientArea_);
    wbWords->widget()->setObjectName("wbWords");

    ckShowChinese = checkBox(clientArea_, "ckShowChinese", "显示中文");
    lbCurLesson = label(clientArea_, "lbCurLesson", QString());
    lbCurLesson->setFont(fontOf(kSongTi, 12));
    // The title stretches across the band under the show-Chinese switch;
    // clicks there belong to the switch, which the title must not swallow.
    lbCurLesson->setAttribute(Qt::WA_TransparentForMouseEvents);

    createSpellPanel();
    createBrowsePanel();
    createComparePanel();

    welcomeView_ = platform_.makeHtmlView();
    wbAdv = welcomeView_.get();
    wbAdv->setObjectName("wbAdv");
    // The welcome page is the program's own; the lesson and word pages hold
    // course text and keep to the pages the program loads into them.
    wbAdv->setPageLinks(PageLinks::Followed);
    wbAdv->widget()->setParent(clientArea_);
    wbAdv->widget()->setObjectName("wbAdv");

    for (QWidget* w : {static_cast<QWidget*>(browsePanel_.piBrowse), static_cast<QWidget*>(comparePanel_.piCompare),
                       static_cast<QWidget*>(spellPanel_.piSpell), wbWords->widget(), wbAdv->widget()})
        w->hide();
    applyLayout();
}

void MainForm::createToolbar()
{
    Toolbar1 = named(new QToolBar(clientArea_), "Toolbar1");
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar1->setIconSize(QSize(20, 20));
    for (const ModeButton& mode : kToolbarButtons) {
        auto* toolButton = named(new QToolButton(Toolbar1), mode.key);
        toolButton->setText(mode.caption);
        toolButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        toolButton->setIcon(QIcon(Module1::sAppPath + "/icons/" + mode.key + ".svg"));
        Toolbar1->addWidget(toolButton);
        const QString key = mode.key;
        connect(toolButton, &QToolButton::clicked, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
    // The playback speed, at the right end.
    auto* spacer = new QWidget(Toolbar1);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Toolbar1->addWidget(spacer);
    lbSpeed = label(Toolbar1, "lbSpeed", "语速");
    lbSpeed->setContentsMargins(0, 0, 4, 0);
    Toolbar1->addWidget(lbSpeed);
    cbSpeed = named(new QComboBox(Toolbar1), "cbSpeed");
    for (const int percent : kPlaybackSpeeds)
        cbSpeed->addItem(QString("%1%").arg(percent), percent);
    cbSpeed->setCurrentIndex(cbSpeed->findData(kNormalSpeed));
    cbSpeed->setFocusPolicy(Qt::ClickFocus);
    Toolbar1->addWidget(cbSpeed);
}

void MainForm::createBrowsePanel()
{
    QFrame* piBrowse = browsePanel_.piBrowse = panel(clientArea_, "piBrowse");
    placeTwips(Label1 = label(piBrowse, "Label1", "朗读次数"), 180, 150, 945, 195);
    placeTwips(browsePanel_.cbRepeatTimes = named(new QComboBox(piBrowse), "cbRepeatTimes"), 1050, 90, 735, 300);
    placeTwips(Label2 = label(piBrowse, "Label2", "句间间隔"), 1920, 150, 945, 195);
    placeTwips(browsePanel_.cbBrowseGap = named(new QComboBox(piBrowse), "cbBrowseGap"), 2760, 90, 1275, 300);
    placeTwips(Label3 = label(piBrowse, "Label3", "听完每句后请自己跟着读一遍"), 4230, 150, 7575, 165);
    for (QLabel* l : {Label1, Label2, Label3})
        l->setMinimumHeight(l->sizeHint().height());
}

void MainForm::createComparePanel()
{
    QFrame* piCompare = comparePanel_.piCompare = panel(clientArea_, "piCompare");
    struct {
        QPushButton** control;
        const char* name;
        const char* caption;
        float left;
    } buttons[] = {
        {&comparePanel_.btRecord, "btRecord", "&R 录音", 120},
        {&comparePanel_.btStandard, "btStandard", "&D 标准发音", 1410},
        {&comparePanel_.btUser, "btUser", "&U 您的发音", 2700},
        {&comparePanel_.btLoop, "btLoop", "&L循环对比", 4020},
        {&comparePanel_.btCompareNext, "btCompareNext", "&N 下一句", 5310},
        {&comparePanel_.btCompareStop, "btCompareStop", "&S 停止", 6600},
    };
    for (auto& b : buttons) {
        *b.control = button(piCompare, b.name, b.caption);
        placeTwips(*b.control, b.left, 90, 1200, 315);
    }
    comparePanel_.lbCompareStatus = label(piCompare, "lbCompareStatus", "当前状态：");
    placeTwips(comparePanel_.lbCompareStatus, 7950, 150, 4095, 195);
    // Placed by the layout, which stretches them with the panel.
    comparePanel_.wvCompare = named(new ComparisonView(piCompare), "wvCompare");
    comparePanel_.lbSimilarity = label(piCompare, "lbSimilarity", QString());
    comparePanel_.lbIntonation = label(piCompare, "lbIntonation", QString());
    for (QLabel* score : {comparePanel_.lbSimilarity, comparePanel_.lbIntonation})
        score->setFont(fontOf(kSongTi, 12));
}

void MainForm::createSpellPanel()
{
    SpellPanel& p = spellPanel_;
    QFrame* piSpell = p.piSpell = panel(clientArea_, "piSpell");
    placeTwips(p.ckSpellAutoSnd = checkBox(piSpell, "ckSpellAutoSnd", "句子发音"), 120, 150, 1035, 195);
    placeTwips(p.ckSpellShowEnglish = checkBox(piSpell, "ckSpellShowEnglish", "显示英文"), 1200, 150, 1095, 195);
    placeTwips(p.ckSpellShowChinese = checkBox(piSpell, "ckSpellShowChinese", "显示中文"), 2310, 150, 1095, 195);
    p.ckSpellAutoSnd->setChecked(true);
    p.ckSpellShowChinese->setChecked(true);
    placeTwips(p.btToStart = button(piSpell, "btToStart", "&B从头开始"), 3450, 90, 1050, 315);
    placeTwips(p.btSpellPrev = button(piSpell, "btSpellPrev", "&P 上一句"), 4560, 90, 990, 315);
    placeTwips(p.btSpellNext = button(piSpell, "btSpellNext", "&N 下一句"), 5640, 90, 990, 315);
    placeTwips(p.btSpellSound = button(piSpell, "btSpellSound", "&S 发音"), 6720, 90, 990, 315);
    placeTwips(p.btSpellHint = button(piSpell, "btSpellHint", "&H 提示"), 7800, 90, 990, 315);
    // Beside the answer box's title, where the layout places it.
    p.ckSpellLenient = checkBox(piSpell, "ckSpellLenient", "忽略大小写和标点");
    p.ckSpellHardOnly = checkBox(piSpell, "ckSpellHardOnly", "只练难句");
    for (QCheckBox* box :
         {p.ckSpellAutoSnd, p.ckSpellShowEnglish, p.ckSpellShowChinese, p.ckSpellLenient, p.ckSpellHardOnly})
        box->setMinimumHeight(box->sizeHint().height());

    lineSpell = named(new QFrame(piSpell), "lineSpell");
    lineSpell->setFrameShape(QFrame::NoFrame);
    lineSpell->setAutoFillBackground(true);
    lineSpell->setStyleSheet("background-color: rgb(192, 0, 0);");

    lbEnglishTitle = label(piSpell, "lbEnglishTitle", "句子英文提示：");
    p.teEnglish = named(new QPlainTextEdit(piSpell), "teEnglish");
    p.teEnglish->setFont(fontOf(kArial, 14.25));
    lbChineseTitle = label(piSpell, "lbChineseTitle", "句子中文提示：");
    p.teChinese = named(new QPlainTextEdit(piSpell), "teChinese");
    p.teChinese->setFont(fontOf(kSongTi, 12));
    lbSpellTitle = label(piSpell, "lbSpellTitle", "在此听写：");
    p.teSpell = named(new QLineEdit(piSpell), "teSpell");
    p.teSpell->setFont(fontOf(kArial, 14.25));
    // The answer is English: letters come straight from the keyboard even
    // while a Chinese input method is on for the rest of the desktop.
    p.teSpell->setAttribute(Qt::WA_InputMethodEnabled, false);
    p.teSpell->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
    for (QPlainTextEdit* hint : {p.teEnglish, p.teChinese})
        hint->setReadOnly(true);

    p.timerFocus = named(new QTimer(this), "timerFocus");
    p.timerFocus->setInterval(kFocusReturnMs);
}

void MainForm::createStudy()
{
    session_ = std::make_unique<StudySession>();
    playback_ = std::make_unique<SentencePlayback>(*platform_.mePlayer, *session_);
    const StudyTools tools{*platform_.messageBoxes, this,
                           *platform_.library,     *platform_.mciRecorder,
                           *platform_.mciPlayer,   [this] { LoadLesson(); }};
    modes_ = std::make_unique<StudyModes>(*session_, *playback_, tools, browsePanel_, spellPanel_, comparePanel_);
}

void MainForm::connectControls()
{
    // Selections made by the program count as clicks too, as the window's
    // procedures expect; the session's loading flag keeps those of the
    // start-up quiet.
    connect(cbVolume, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainForm::cbVolume_Click);
    connect(lsLesson, &QListWidget::currentRowChanged, this, &MainForm::lsLesson_Click);
    connect(ckShowChinese, &QCheckBox::clicked, this, &MainForm::ckShowChinese_Click);
    connect(cbSpeed, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainForm::cbSpeed_Click);
    connect(wbContent, &HtmlView::documentComplete, this, &MainForm::wbContent_DocumentComplete);
    connect(wbAdv, &HtmlView::beforeNavigate, this, &MainForm::wbAdv_BeforeNavigate);
    for (HtmlView* view : {wbContent, wbWords, wbAdv})
        connect(view, &HtmlView::openOutsideRequested, this, &MainForm::openOutside);
    for (HtmlView* view : {wbContent, wbWords})
        connect(view, &HtmlView::navigationDropped, this, &MainForm::showDroppedNavigation);
    connect(session_.get(), &StudySession::statusChanged, this, &MainForm::showStatus);
    connect(session_.get(), &StudySession::positionShown, this, &MainForm::showPosition);
    connect(platform_.mePlayer.get(), &MediaPlayer::audioProblem, this, &MainForm::showNotice);
    connect(platform_.mciPlayer.get(), &WaveDevice::audioProblem, this, &MainForm::showNotice);
    connect(platform_.mciRecorder.get(), &WaveDevice::audioProblem, this, &MainForm::showNotice);
    connect(&modes_->comparison(), &ComparisonMode::audioProblem, this, &MainForm::showNotice);
}

void MainForm::cbSpeed_Click() { playback_->setSpeedPercent(cbSpeed->currentData().toInt()); }

void MainForm::showNotice(const QString& message)
{
    // Said once: the same problem comes back with every sentence.
    if (message == shownNotice_)
        return;
    shownNotice_ = message;
    pnNotice->setText(message);
    pnNotice->setToolTip(message);
}
