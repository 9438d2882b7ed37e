#pragma once

// The course as the window lists it: the catalogue model (course/) shown by
// the volume and lesson lists, the lessons' marks from the study record, and
// the loading of one lesson into the pages, the study session (with its word
// times, where the lesson keeps them) and the player.

#include "course/CourseCatalogue.h"

#include <QFuture>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

class CourseLibrary;
struct CourseLesson;
class HtmlView;
class MessageBoxes;
class QComboBox;
class QLabel;
class QListWidget;
class SentencePlayback;
class StudyRecord;
class StudySession;

class Catalogue : public QObject {
    Q_OBJECT
public:
    struct Books {
        QString shipped;
        // The learner's own, which win over shipped ones of the same name;
        // empty for none.
        QString own;
    };
    // The controls the catalogue fills and reads, and the views it loads.
    struct Controls {
        QComboBox* cbVolume;
        QListWidget* lsLesson;
        QLabel* lbCurLesson;
        HtmlView* wbContent;
        HtmlView* wbWords;
        // The object whose "HtmlEventHandler" the lesson page's presses call.
        QObject* pressTarget;
    };

    Catalogue(const Books& books, const Controls& controls, CourseLibrary& library, MessageBoxes& messages,
              StudySession& session, SentencePlayback& playback, StudyRecord& record, QObject* parent = nullptr);

    void FillCbVolume();
    // Lists the chosen volume's lessons; says so when it has none, unless
    // told to keep quiet.
    void FillLsLesson(bool reportEmpty = true);
    // Start-up: the stored volume and lesson (the first where they are
    // outside the lists) chosen and loaded.
    void start(int volume, int lesson);
    // The learner chose a volume: its lessons are listed and the first loaded.
    void volumeChosen();
    // Makes and shows the chosen lesson's pages and hands the lesson to the
    // session and the player. Waits for the page: a lesson chosen during the
    // wait is loaded in full within it, and the earlier load then ends
    // without touching anything.
    void LoadLesson();
    // The lesson page has completed loading.
    void pageComplete() { bPageLoaded = true; }

    QString currentVolumeFolder() const;
    // Where the chosen volume's files lie, and whether it is one of the
    // learner's own (which the learner may change).
    QString currentVolumePath() const;
    bool isOwnVolume() const;
    // The chosen lesson's position in its volume from 0; -1 for none.
    int currentLesson() const;
    // Lists the volumes again and shows lesson `lesson` (from 0; the last
    // when beyond it) of the volume at `volumePath`, as if chosen.
    void showLesson(const QString& volumePath, int lesson);
    QStringList lessonTitles() const;
    // Hands the session the loaded lesson's word times as the course model
    // reads them from its file now; the shipped course has none.
    void readWordTimes();
    // The lesson as the course model reads it now, for the learner's own
    // volumes (their word times and video); empty for the shipped course.
    CourseLesson ownLesson(int lesson) const;
    // The books folder a learner adds volumes to: their own, else the
    // program's.
    QString booksFolderForLearner() const;
    void reportNoLessons();

signals:
    // A lesson was loaded: whether it plays from a video, and its sentences'
    // English lines as plain text.
    void lessonVideo(bool playsVideo, const QStringList& englishLines);
    // Something the learner should know about the lesson loaded, said once
    // per load.
    void notice(const QString& message);

private:
    // A course file of the current volume, found without regard to letter
    // case when its exact name is missing.
    QString courseFile(const QString& fileName) const;
    QString recordingBaseName() const;
    // The lists show the model's volumes and lessons and its choice.
    void showVolumes();
    void showLessons(bool reportEmpty = true);
    void openLessonRecording(int sentenceCount, int lesson, const CourseLesson& own);
    void showWordTimes(const CourseLesson& own);
    void followShowChinese();
    void requestLessonMarks();
    void showLessonMarks(const QVector<int>& marks);

    CourseCatalogue model_;
    Controls c_;
    CourseLibrary& library_;
    MessageBoxes& messages_;
    StudySession& session_;
    SentencePlayback& playback_;
    StudyRecord& record_;

    bool bPageLoaded = false;
    // Each load takes a number; a load that finds a later number after its
    // page wait has been overtaken.
    unsigned latestLoad_ = 0;
    bool lessonLoaded_ = false;
    bool pageShowsChinese_ = false;
    QFuture<QVector<int>> marksReply_;
    // One icon per mark, made once: every new icon renders and caches its
    // pictures anew, and the marks are set again after every lesson load.
    std::vector<QIcon> markIcons_;
};
