#pragma once

// The main window: its controls and their layout, the mode panels beside it,
// the switch between study modes, and the procedures the toolbar and the page
// call by name, each handing over to the study modes, the catalogue or the
// settings. The study itself lives in the session and the mode objects the
// window owns; the catalogue, the keys and the settings are objects of their
// own; the study record sits beside them. Features (the review, own lessons,
// the exports, the record's window, the video's keys) plug in through the
// window's context and bring their own commands, keys and menu entries.

#include "shell/window/FormLayout.h"
#include "shell/window/LessonMenu.h"
#include "shell/window/WindowContext.h"
#include "shell/Platform.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class BrowsePanel;
class Catalogue;
class Commands;
class ComparePanel;
class Keys;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QListWidget;
class QStatusBar;
class QToolBar;
class SentencePlayback;
class Settings;
class SpellPanel;
class StudyModes;
class StudyRecord;
class StudyRecorder;
class StudySession;
class VideoPane;

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(Platform platform, QWidget* parent = nullptr);
    ~MainForm() override;

    // What a feature plugging in is given.
    WindowContext context();

    // Start-up, once the features are in: checks that every toolbar button
    // has its command, restores the settings, loads the lesson, shows the
    // welcome page.
    void Form_Load();
    // Shut-down: saves the settings and removes the scratch files.
    void Form_Unload();

    // The study the window drives.
    StudySession& session() { return *session_; }
    const StudySession& session() const { return *session_; }
    SentencePlayback& playback() { return *playback_; }
    StudyModes& modes() { return *modes_; }
    Catalogue& catalogue() { return *catalogue_; }
    // The lesson list's context menu for lesson `lesson` (-1: none): each
    // feature adds its entries.
    void lessonMenu(QMenu& menu, int lesson);
    // Shows lesson `lesson` of the volume at `volumePath`, leaving a running
    // mode and the welcome page.
    void showLesson(const QString& volumePath, int lesson);

public slots:
    // The toolbar's click: runs the command the button's key names. Each
    // command is connected to its procedure below once, at start-up; the
    // lesson page's elements call HtmlEventHandler by its name.
    void Toolbar1_ButtonClick(const QString& key);
    void HtmlEventHandler();
    void btBrowse_Click();
    void btCompare_click();
    void btSpell_click();
    void btThinkEnglish_click();
    void btWords_click();

    void cbVolume_Click();
    void lsLesson_Click();
    void ckShowChinese_Click();
    void cbSpeed_Click();
    void wbContent_DocumentComplete();
    void wbAdv_BeforeNavigate(const QUrl& url, bool* cancel);
    // Hands an address a page asks for to the desktop's browser or mail program.
    void openOutside(const QUrl& url);
    // Says in the status bar that a page's navigation was dropped, naming the address.
    void showDroppedNavigation(const QUrl& url);
    // Says a problem once in the status bar: an audio device or file, a
    // dropped navigation, the study record.
    void showNotice(const QString& message);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // ----- Controls -----
    void createControls();
    void createToolbar();
    void createStudy();
    void createRecord();
    void createCatalogue();
    void connectControls();
    void createKeys();
    // At start-up, with the features in: the panels' keys after theirs, and
    // every button's tip naming its keys.
    void finishKeys();
    bool stepSpeed(int step);
    // At start-up: every toolbar button has a command of its name, and shows
    // its command's caption as it changes.
    void bindToolbar();

    // ----- Status bar and toolbar, following the session -----
    void showStatus(int status);
    std::function<void(bool)> statusSwitch(const QString& control);
    void checkStatusViews();
    void showPosition(int sentenceCount, int sentenceNumber);

    // ----- Settings -----
    void GetAllSettings();
    void SaveAllSettings();

    // ----- Layout -----
    void ResizeForm();
    void applyLayout();

    Platform platform_;
    std::unique_ptr<Settings> settings_;
    std::unique_ptr<StudySession> session_;
    std::unique_ptr<SentencePlayback> playback_;

    bool unloaded_ = false;
    QString shownNotice_;

    FormLayout formLayout_;
    QWidget* clientArea_ = nullptr;
    std::unique_ptr<HtmlView> contentView_, wordsView_, welcomeView_;

    QToolBar* Toolbar1 = nullptr;
    QStatusBar* stuInfo = nullptr;
    QLabel* pnStatus = nullptr;
    QLabel* pnSubStatus = nullptr;
    QLabel* pnNotice = nullptr;
    QComboBox* cbVolume = nullptr;
    QListWidget* lsLesson = nullptr;
    HtmlView* wbContent = nullptr;
    HtmlView* wbWords = nullptr;
    HtmlView* wbAdv = nullptr;
    // Holds the lesson page, and above it a video lesson's picture.
    VideoPane* videoPane_ = nullptr;
    QCheckBox* ckShowChinese = nullptr;
    QLabel* lbCurLesson = nullptr;
    QWidget* speedBox_ = nullptr;
    QLabel* lbSpeed = nullptr;
    QComboBox* cbSpeed = nullptr;
    BrowsePanel* piBrowse = nullptr;
    ComparePanel* piCompare = nullptr;
    SpellPanel* piSpell = nullptr;

    // Made after the controls: the modes work on the panels above.
    std::unique_ptr<StudyModes> modes_;
    std::unique_ptr<StudyRecord> record_;
    std::unique_ptr<StudyRecorder> recorder_;
    std::unique_ptr<Catalogue> catalogue_;
    Commands* commands_ = nullptr;
    Keys* keys_ = nullptr;
    LessonMenu lessonMenu_;
};
