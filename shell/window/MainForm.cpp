// The window's controls, created with the names, captions and fonts they are
// known by, the study objects that work with them, and the wiring between.

#include "shell/window/MainForm.h"

#include "platform/audio/MediaPlayer.h"
#include "platform/audio/WaveDevice.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/MessageBoxes.h"
#include "platform/system/Waits.h"
#include "platform/web/HtmlView.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "shell/window/BrowsePanel.h"
#include "shell/window/Catalogue.h"
#include "shell/window/Commands.h"
#include "shell/window/ComparePanel.h"
#include "shell/window/WidgetMaking.h"
#include "shell/window/Keys.h"
#include "shell/window/Module1.h"
#include "shell/window/Settings.h"
#include "shell/window/SpellPanel.h"
#include "shell/window/StatusViews.h"
#include "shell/widgets/VideoPane.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

MainForm::MainForm(Platform platform, QWidget* parent) : QMainWindow(parent), platform_(std::move(platform))
{
    setObjectName("MainForm");
    setWindowTitle(kApplicationTitle);
    setWaitClock(platform_.library.get());
    platform_.messageBoxes->setParentWindow(this);
    settings_ = std::make_unique<Settings>(platform_.settingsFile);
    createControls();
    createStudy();
    createRecord();
    createCatalogue();
    connectControls();
    checkStatusViews();
    createKeys();
    resize(formLayout_.stuInfo.toPixels().width(), 10845 / 15);
    setMinimumSize(kSmallestClientArea.toPixels().size());
}

MainForm::~MainForm()
{
    // What the record still gathers is written before the study objects go.
    catalogue_.reset();
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
    wbContent->widget()->setObjectName("wbContent");
    videoPane_ = new VideoPane(platform_.videoFrames, wbContent->widget(), clientArea_);
    connect(videoPane_, &VideoPane::pictureResized, this, &MainForm::applyLayout);
    wbWords->widget()->setParent(clientArea_);
    wbWords->widget()->setObjectName("wbWords");

    ckShowChinese = checkBox(clientArea_, "ckShowChinese", "显示中文");
    lbCurLesson = label(clientArea_, "lbCurLesson", QString());
    lbCurLesson->setFont(fontOf(kSongTi, 12));
    // The title stretches across the band under the show-Chinese switch;
    // clicks there belong to the switch, which the title must not swallow.
    lbCurLesson->setAttribute(Qt::WA_TransparentForMouseEvents);

    piSpell = new SpellPanel(clientArea_);
    piBrowse = new BrowsePanel(clientArea_);
    piCompare = new ComparePanel(clientArea_);

    welcomeView_ = platform_.makeHtmlView();
    wbAdv = welcomeView_.get();
    wbAdv->setObjectName("wbAdv");
    // The welcome page is the program's own; the lesson and word pages hold
    // course text and keep to the pages the program loads into them.
    wbAdv->setPageLinks(PageLinks::Followed);
    wbAdv->widget()->setParent(clientArea_);
    wbAdv->widget()->setObjectName("wbAdv");

    for (QWidget* w : {static_cast<QWidget*>(piBrowse), static_cast<QWidget*>(piCompare),
                       static_cast<QWidget*>(piSpell), wbWords->widget(), wbAdv->widget()})
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
    // The modes' commands are the window's own; the other buttons' commands
    // come with the features, bound to their buttons at start-up.
    using Procedure = void (MainForm::*)();
    const std::pair<const char*, Procedure> procedures[] = {
        {"btBrowse", &MainForm::btBrowse_Click},   {"btCompare", &MainForm::btCompare_click},
        {"btSpell", &MainForm::btSpell_click},     {"btThinkEnglish", &MainForm::btThinkEnglish_click},
        {"btWords", &MainForm::btWords_click},
    };
    commands_ = new Commands(*this);
    for (const ModeButton& mode : kToolbarButtons) {
        for (const auto& [name, procedure] : procedures) {
            if (qstrcmp(name, mode.key) == 0)
                commands_->add(name, mode.caption, [this, procedure = procedure] { (this->*procedure)(); });
        }
        auto* toolButton = named(new QToolButton(Toolbar1), mode.key);
        toolButton->setText(mode.caption);
        toolButton->setToolButtonStyle(mode.iconOnly ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
        toolButton->setIcon(QIcon(Module1::sAppPath + "/icons/" + mode.key + ".svg"));
        Toolbar1->addWidget(toolButton);
        const QString key = mode.key;
        connect(toolButton, &QToolButton::clicked, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
    // The playback speed closes the toolbar's row, beside the toolbar rather
    // than in it: in a narrow window the toolbar puts the buttons that do not
    // fit behind its » menu, and the speed stays in sight.
    speedBox_ = named(new QWidget(clientArea_), "speedBox");
    auto* row = new QHBoxLayout(speedBox_);
    row->setContentsMargins(4, 0, 6, 0);
    row->setSpacing(4);
    lbSpeed = label(speedBox_, "lbSpeed", "语速");
    row->addWidget(lbSpeed);
    cbSpeed = named(new QComboBox(speedBox_), "cbSpeed");
    for (const int percent : kPlaybackSpeeds)
        cbSpeed->addItem(QString("%1%").arg(percent), percent);
    cbSpeed->setCurrentIndex(cbSpeed->findData(kNormalSpeed));
    cbSpeed->setFocusPolicy(Qt::ClickFocus);
    row->addWidget(cbSpeed);
}

void MainForm::createStudy()
{
    session_ = std::make_unique<StudySession>();
    playback_ = std::make_unique<SentencePlayback>(*platform_.mePlayer, *session_);
    const StudyTools tools{*platform_.messageBoxes, *platform_.library, *platform_.mciRecorder, *platform_.mciPlayer};
    modes_ = std::make_unique<StudyModes>(*session_, *playback_, tools, *piBrowse, *piSpell, *piCompare);
    piBrowse->connectTo(modes_->autoBrowse());
    piSpell->connectTo(modes_->dictation());
    piCompare->connectTo(modes_->comparison());
}

void MainForm::createRecord()
{
    record_ = std::make_unique<StudyRecord>(platform_.studyRecordFile);
    recorder_ = std::make_unique<StudyRecorder>(*record_, *session_, *playback_, modes_->dictation(),
                                                modes_->comparison());
    connect(&modes_->comparison(), &ComparisonMode::takeScored, recorder_.get(), &StudyRecorder::takeScored);
    modes_->dictation().setHardSentences([this] { return recorder_->hardSentences(); });
    connect(record_.get(), &StudyRecord::problem, this, &MainForm::showNotice);
}

void MainForm::createCatalogue()
{
    const Catalogue::Books books{platform_.shippedBooks, platform_.ownBooks};
    const Catalogue::Controls controls{cbVolume, lsLesson, lbCurLesson, wbContent, wbWords, this};
    catalogue_ = std::make_unique<Catalogue>(books, controls, *platform_.library, *platform_.messageBoxes, *session_,
                                             *playback_, *record_);
}

void MainForm::connectControls()
{
    // Selections made by the program count as clicks too, as the window's
    // procedures expect; the start-up makes its own under signal blockers.
    connect(cbVolume, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainForm::cbVolume_Click);
    connect(lsLesson, &QListWidget::currentRowChanged, this, &MainForm::lsLesson_Click);
    lsLesson->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lsLesson, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        lessonMenu(menu, lsLesson->row(lsLesson->itemAt(at)));
        if (!menu.isEmpty())
            menu.exec(lsLesson->viewport()->mapToGlobal(at));
    });
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
    connect(session_.get(), &StudySession::showChineseChanged, this, [this] {
        const QSignalBlocker quiet(ckShowChinese);
        ckShowChinese->setChecked(session_->chineseChosen());
    });
    connect(platform_.mePlayer.get(), &MediaPlayer::audioProblem, this, &MainForm::showNotice);
    connect(catalogue_.get(), &Catalogue::notice, this, &MainForm::showNotice);
    connect(catalogue_.get(), &Catalogue::lessonVideo, this, [this](bool playsVideo, const QStringList& lines) {
        videoPane_->showLesson(playsVideo, lines);
        videoPane_->showSentence(session_->currentSentence());
    });
    connect(session_.get(), &StudySession::currentSentenceChanged, videoPane_, &VideoPane::showSentence);
    connect(platform_.mciPlayer.get(), &WaveDevice::audioProblem, this, &MainForm::showNotice);
    connect(platform_.mciRecorder.get(), &WaveDevice::audioProblem, this, &MainForm::showNotice);
    connect(&modes_->comparison(), &ComparisonMode::audioProblem, this, &MainForm::showNotice);
}

void MainForm::lessonMenu(QMenu& menu, int lesson) { lessonMenu_.fill(menu, lesson); }

void MainForm::showLesson(const QString& volumePath, int lesson)
{
    modes_->leaveRunning();
    wbAdv->widget()->hide();
    catalogue_->showLesson(volumePath, lesson);
}

WindowContext MainForm::context()
{
    return {*this,
            platform_,
            *settings_,
            *session_,
            *playback_,
            *modes_,
            *catalogue_,
            *record_,
            *recorder_,
            *commands_,
            *keys_,
            lessonMenu_,
            *videoPane_,
            *wbContent,
            *wbWords,
            [this](const QString& message) { showNotice(message); },
            [this](const QString& volumePath, int lesson) { showLesson(volumePath, lesson); },
            [this] { return piSpell->options().lenient; }};
}

void MainForm::bindToolbar()
{
    for (const ModeButton& mode : kToolbarButtons) {
        QAction* command = commands_->find(mode.key);
        if (command == nullptr) {
            qCritical("Lexbay: the toolbar's button %s has no command", mode.key);
            Q_ASSERT_X(false, "MainForm::bindToolbar", mode.key);
            continue;
        }
        // The key is the Keys filter's to take; the shortcut says which it is.
        command->setShortcut(QKeySequence(mode.functionKey));
        command->setShortcutContext(Qt::WidgetShortcut);
        auto* button = Toolbar1->findChild<QToolButton*>(mode.key);
        connect(command, &QAction::changed, button, [button, command] {
            if (!command->text().isEmpty())
                button->setText(command->text());
        });
    }
}

void MainForm::showNotice(const QString& message)
{
    // Said once: the same problem comes back with every sentence.
    if (message == shownNotice_)
        return;
    shownNotice_ = message;
    pnNotice->setText(message);
    pnNotice->setToolTip(message);
}
