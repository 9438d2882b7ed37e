#pragma once

// The main window: its controls, the state every study mode shares, and the
// procedures of the window. The procedures are defined in one file per
// concern, in shell/, page/ and modes/.

#include "shell/FormLayout.h"
#include "shell/Platform.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class QStatusBar;
class QTimer;
class QToolBar;
class QWidget;
class HtmlDocument;
class HtmlElement;
class HtmlView;
class MediaPlayer;
class MessageBoxes;
class WaveDevice;

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(Platform platform, QWidget* parent = nullptr);
    ~MainForm() override;

    // Start-up: restores the settings, loads the lesson, shows the welcome page.
    void Form_Load();
    // Shut-down: saves the settings and removes the scratch files.
    void Form_Unload();

    // ----- Controls (names as the window knows them) -----
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
    QFrame* piBrowse = nullptr;
    QFrame* piCompare = nullptr;
    QFrame* piSpell = nullptr;
    QCheckBox* ckShowChinese = nullptr;
    QLabel* lbCurLesson = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cbRepeatTimes = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cbBrowseGap = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* btRecord = nullptr;
    QPushButton* btStandard = nullptr;
    QPushButton* btUser = nullptr;
    QPushButton* btLoop = nullptr;
    QPushButton* btCompareNext = nullptr;
    QPushButton* btCompareStop = nullptr;
    QLabel* lbCompareStatus = nullptr;
    QCheckBox* ckSpellAutoSnd = nullptr;
    QCheckBox* ckSpellShowEnglish = nullptr;
    QCheckBox* ckSpellShowChinese = nullptr;
    QPushButton* btToStart = nullptr;
    QPushButton* btSpellPrev = nullptr;
    QPushButton* btSpellNext = nullptr;
    QPushButton* btSpellSound = nullptr;
    QPushButton* btSpellHint = nullptr;
    QFrame* lineSpell = nullptr;
    QLabel* lbEnglishTitle = nullptr;
    QPlainTextEdit* teEnglish = nullptr;
    QLabel* lbChineseTitle = nullptr;
    QPlainTextEdit* teChinese = nullptr;
    QLabel* lbSpellTitle = nullptr;
    QLineEdit* teSpell = nullptr;
    QTimer* timerFocus = nullptr;
    MediaPlayer* mePlayer = nullptr;
    WaveDevice* mciRecorder = nullptr;
    WaveDevice* mciPlayer = nullptr;

    // ----- Shared state -----
    int nStatus = 0;
    int bLoading = 0;
    int nCurVolume = 0;
    int bShowChinese = 0;
    int nSentenceCount = 0;
    int bPageLoaded = 0;
    std::shared_ptr<HtmlDocument> oLessonDoc;
    std::vector<HtmlElement*> oEngs;
    std::vector<HtmlElement*> oChns;
    std::vector<int> bEngShown;
    std::vector<double> dSentenceTimes;
    int nCurSentence = 0;
    int bStopBrowse = 0;
    int nRepeatCount = 0;
    int nRepeatTimes = 0;
    int nCompareStatus = 0;
    int bHasUserVoice = 0;
    int bComparePlaying = 0;
    int nGapMs = 0;
    int bSpellSavedShowChinese = 0;
    int nSpellSavedSentence = 0;

    // ----- Settings -----
    void GetAllSettings();
    void SaveAllSettings();
    // A stored number, or the default when the key is missing or not a number.
    int settingNumber(const QString& key, int defaultValue) const;

    // ----- Catalogue and lesson loading -----
    void FillCbVolume();
    void FillLsLesson();
    void LoadLesson();
    QString currentVolumeFolder() const;
    int currentLessonIndex() const;
    // A course file of the current volume, found without regard to letter
    // case when its exact name is missing.
    QString courseFile(const QString& fileName) const;
    QString recordingBaseName() const;
    static int volumeNumber(const QString& folderName);

    // ----- Study status -----
    void SetStatus(int nStatus_);
    void EnableButton(QPushButton* mybutton, int bEnabled);

    // ----- Sentence marking -----
    void SetCurSentence(int nNo);
    HtmlElement* GetESentence(int no) const;
    HtmlElement* GetCSentence(int no) const;
    static int GetSentenceNo(const HtmlElement* obj);
    static int ElementDisplayingStatus(const HtmlElement* element);
    void ShowPositionText(int sentenceNumber);
    bool hasSentence(int n) const { return n >= 0 && n < nSentenceCount; }

    // ----- Sentence playback -----
    void PlaySentence(int nNo, int bStopFirst);

    // ----- Auto-browse -----
    void SetBrowseGap(int nSentenceLength);
    void BrowseStep();
    void BrowseJump(int n);
    void StopBrowsing();

    // ----- Reverse dictation -----
    void SpellCurSentence();
    QString englishText(int n) const;
    QString chineseText(int n) const;
    void ArmFocusReturn();
    void CheckSpelling();

    // ----- Shadow-reading comparison -----
    void SetComparingStatus(int sStatus);
    void StopPlayingCompareSnd();
    void PlayUserVoice();
    void CompareEndOfStandard();
    void StopComparingForLeave();

    // ----- Recall-English -----
    void RecallPress(HtmlElement* el, int n, bool onText);

    // ----- Layout -----
    void ResizeForm();
    FormLayout layout;

    MessageBoxes& messages() { return *platform_.messageBoxes; }
    CourseLibrary& library() { return *platform_.library; }

public slots:
    // Called by name from the toolbar and the page.
    void Toolbar1_ButtonClick(const QString& key);
    void HtmlEventHandler();
    void btBrowse_Click();
    void btCompare_click();
    void btSpell_click();
    void btThinkEnglish_click();
    void btWords_click();
    void btMp3_click();

    void cbVolume_Click();
    void lsLesson_Click();
    void ckShowChinese_Click();
    void cbRepeatTimes_Click();
    void wbContent_DocumentComplete();
    void wbAdv_BeforeNavigate(const QUrl& url, bool* cancel);
    void mePlayer_EndOfStream(int result);
    void mciPlayer_Done(int notifyCode);
    void showAudioProblem(const QString& message);

    void btRecord_Click();
    void btStandard_Click();
    void btUser_Click();
    void btLoop_Click();
    void btCompareNext_Click();
    void btCompareStop_Click();

    void btSpellNext_Click();
    void btSpellPrev_Click();
    void btToStart_Click();
    void btSpellSound_Click();
    void btSpellHint_Click();
    void ckSpellShowChinese_Click();
    void ckSpellShowEnglish_Click();
    void timerFocus_Timer();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createToolbar();
    void createBrowsePanel();
    void createComparePanel();
    void createSpellPanel();
    void connectControls();
    void applyLayout();
    std::unique_ptr<QSettings> openSettings() const;
    void reportMissingCourse(const QString& what);
    bool bUnloaded_ = false;
    QString shownAudioProblem_;

    Platform platform_;
    std::unique_ptr<HtmlView> contentView_, wordsView_, welcomeView_;
    QWidget* clientArea_ = nullptr;
};
