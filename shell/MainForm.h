#pragma once

// The main window: its controls, catalogue and lesson loading, settings, keys,
// layout, the MP3 dialog and the record window, and the procedures the
// toolbar and the page call by name, each handing over to the study session
// or a mode. The study itself lives in the session and the mode objects the
// window owns, and the study record beside them.

#include "shell/FormLayout.h"
#include "shell/KeyTableForm.h"
#include "shell/Platform.h"
#include "study/AutoBrowseMode.h"
#include "study/ComparisonMode.h"
#include "study/DictationMode.h"

#include <QIcon>
#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QSettings;
class QStatusBar;
class QToolBar;
class SentencePlayback;
class StudyModes;
class StudyRecord;
class StudyRecordForm;
class StudyRecorder;
class StudySession;

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(Platform platform, QWidget* parent = nullptr);
    ~MainForm() override;

    // Start-up: restores the settings, loads the lesson, shows the welcome page.
    void Form_Load();
    // Shut-down: saves the settings and removes the scratch files.
    void Form_Unload();

    // The study the window drives.
    StudySession& session() { return *session_; }
    const StudySession& session() const { return *session_; }
    SentencePlayback& playback() { return *playback_; }
    StudyModes& modes() { return *modes_; }

    // The volume number a volume folder's name gives: its first digit 1 to 4
    // in the order 1, 2, 3, 4; 1 without one.
    static int volumeNumber(const QString& folderName);

public slots:
    // Called by name from the toolbar (the button's key + "_click") and from
    // the lesson page's elements.
    void Toolbar1_ButtonClick(const QString& key);
    void HtmlEventHandler();
    void btBrowse_Click();
    void btCompare_click();
    void btSpell_click();
    void btThinkEnglish_click();
    void btWords_click();
    void btMp3_click();
    void btStudyRecord_click();

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ----- Controls -----
    void createControls();
    void createToolbar();
    void createBrowsePanel();
    void createComparePanel();
    void createSpellPanel();
    void createStudy();
    void connectControls();

    // ----- Keys -----
    void createKeys();
    void nameKeysInTips();
    bool runKey(const QKeyEvent& event, const QWidget* focus);
    bool showKeyTable();
    bool leaveRunningMode();
    bool lessonPageShown() const;
    bool pressCurrentSentence();
    bool stepSentence(int step);
    bool stepSpeed(int step);

    // ----- Status bar and toolbar, following the session -----
    void showStatus(int status);
    void showPosition(int sentenceCount, int sentenceNumber);

    // ----- Settings -----
    void GetAllSettings();
    void SaveAllSettings();
    std::unique_ptr<QSettings> openSettings() const;
    // A stored number, or the default when the key is missing or not a number.
    int settingNumber(const QString& key, int defaultValue) const;

    // ----- Catalogue and lesson loading -----
    void FillCbVolume();
    void FillLsLesson();
    void LoadLesson();
    void openLessonRecording(int sentenceCount, int lesson);
    QString currentVolumeFolder() const;
    int currentLessonIndex() const;
    // A course file of the current volume, found without regard to letter
    // case when its exact name is missing.
    QString courseFile(const QString& fileName) const;
    QString recordingBaseName() const;
    // The books folder a learner adds volumes to: their own, else the
    // program's.
    QString booksFolderForLearner() const;
    void reportMissingCourse(const QString& what);
    void reportNoLessons();

    // ----- Study record -----
    void createRecord();
    void requestLessonMarks();
    void showLessonMarks(int request, const QVector<int>& marks);

    // ----- Layout -----
    void ResizeForm();
    void applyLayout();

    Platform platform_;
    std::unique_ptr<StudySession> session_;
    std::unique_ptr<SentencePlayback> playback_;

    // The window's state besides the study: the volume number of the chosen
    // volume folder, whether the lesson page has loaded, and the learner's
    // show-Chinese choice as stored (dictation shows the lines whatever it
    // says).
    int nCurVolume = 0;
    bool bPageLoaded = false;
    int showChineseSetting_ = 0;
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
    QCheckBox* ckShowChinese = nullptr;
    QLabel* lbCurLesson = nullptr;
    QLabel* lbSpeed = nullptr;
    QComboBox* cbSpeed = nullptr;
    BrowsePanel browsePanel_;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    ComparePanel comparePanel_;
    SpellPanel spellPanel_;
    QFrame* lineSpell = nullptr;
    QLabel *lbEnglishTitle = nullptr, *lbChineseTitle = nullptr, *lbSpellTitle = nullptr;

    // Made last: the modes work on the controls above.
    std::unique_ptr<StudyModes> modes_;
    std::vector<KeyBinding> keys_;
    KeyTableForm* keyTable_ = nullptr;
    std::unique_ptr<StudyRecord> record_;
    std::unique_ptr<StudyRecorder> recorder_;
    StudyRecordForm* recordForm_ = nullptr;
    int marksRequest_ = 0;
    int overviewRequest_ = 0;
    // One icon per mark, made once: every new icon renders and caches its
    // pictures anew, and the marks are set again after every lesson load.
    std::vector<QIcon> markIcons_;
};
