#pragma once

// The main window: its controls and their layout, the mode panels beside it,
// and the procedures the toolbar and the page call by name, each handing
// over to the study modes, the catalogue or the settings. The study itself
// lives in the session and the mode objects the window owns; the catalogue,
// the keys and the settings are objects of their own; the study record sits
// beside them.

#include "record/RecordEvent.h"
#include "record/ReviewState.h"
#include "shell/window/FormLayout.h"
#include "shell/Platform.h"

#include <QFuture>
#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class AnkiExports;
class BrowsePanel;
class Catalogue;
class Commands;
class ComparePanel;
class ImportForm;
class Keys;
class OwnLessonEdits;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QListWidget;
class QStatusBar;
class QTimer;
class QToolBar;
class ReviewForm;
class ReviewSentences;
class SentencePlayback;
class Settings;
class SpellPanel;
class StudyModes;
class StudyRecord;
class StudyRecordForm;
class StudyRecorder;
class StudySession;
class VideoPane;

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
    Catalogue& catalogue() { return *catalogue_; }
    // The lesson list's context menu for lesson `lesson` (-1: none): each
    // feature adds its entries.
    void lessonMenu(QMenu& menu, int lesson);

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
    void btMp3_click();
    void btStudyRecord_click();
    // The record window's 「导出难句到 Anki」.
    void exportHardSentences();
    // The record window's 「导出今日复习到 Anki」: the sentences due today.
    void exportDueSentences();
    void btReview_click();
    void btImport_click();

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
    void createReview();
    // Asks the record for the count on 今日复习.
    void readReviewCount();
    void followReviewDay();
    void showReviewCount(const ReviewOverview& overview);
    void exportDue(const ReviewQueue& queue);
    void createCatalogue();
    void connectControls();
    void createOwnLessonEdits();
    void showImportedLesson(const QString& volumePath, int lesson);
    void createKeys();
    bool stepSpeed(int step);

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
    AnkiExports* ankiExports_ = nullptr;
    Commands* commands_ = nullptr;
    Keys* keys_ = nullptr;
    StudyRecordForm* recordForm_ = nullptr;
    OwnLessonEdits* ownLessons_ = nullptr;
    ImportForm* importForm_ = nullptr;
    // The reads still out, each dropped when it is asked for again: the record
    // window's overview and review chart, the due sentences for export.
    QFuture<RecordOverview> overviewReply_;
    QFuture<ReviewOverview> reviewChartReply_;
    QFuture<ReviewQueue> dueExportReply_;
    // The daily review: its window, the reads it waits for, its daily limit.
    std::unique_ptr<ReviewSentences> reviewSentences_;
    ReviewForm* reviewForm_ = nullptr;
    QFuture<ReviewQueue> reviewQueueReply_;
    QFuture<ReviewOverview> reviewCountReply_, reviewEndReply_;
    int dailyReviews_ = 0;
    QTimer* reviewDayTimer_ = nullptr;
};
