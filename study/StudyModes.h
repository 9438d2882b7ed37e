#pragma once

// The six study modes, made once with the window. The study status names the
// mode that runs; page presses, range ends and the wave player's
// notifications go to it.

#include "study/AutoBrowseMode.h"
#include "study/ComparisonMode.h"
#include "study/DictationMode.h"
#include "study/LessonStudyMode.h"
#include "study/RecallEnglishMode.h"
#include "study/VocabularyMode.h"

#include <QObject>

class CourseLibrary;
class HtmlElement;
class MessageBoxes;
class QWidget;
class SentencePlayback;
class StudySession;
class WaveDevice;

// What the modes work with besides the session and the playback.
struct StudyTools {
    MessageBoxes& messages;
    // The parent of the modes' message boxes.
    QWidget* window;
    CourseLibrary& library;
    WaveDevice& recorder;
    WaveDevice& wavePlayer;
    // Makes the current lesson's page again (for dictation's Chinese lines).
    std::function<void()> loadLesson;
};

class StudyModes : public QObject {
    Q_OBJECT
public:
    StudyModes(StudySession& session, SentencePlayback& playback, const StudyTools& tools,
               const BrowsePanel& browsePanel, const SpellPanel& spellPanel, const ComparePanel& comparePanel,
               QObject* parent = nullptr);

    LessonStudyMode& lessonStudy() { return lessonStudy_; }
    AutoBrowseMode& autoBrowse() { return autoBrowse_; }
    DictationMode& dictation() { return dictation_; }
    ComparisonMode& comparison() { return comparison_; }
    RecallEnglishMode& recallEnglish() { return recallEnglish_; }
    VocabularyMode& vocabulary() { return vocabulary_; }

    // The mode of the session's status; nullptr before start-up.
    StudyMode* active();

    // A press on sentence n's English text or sound icon, as the page makes
    // it: the player stops, and the running mode takes the press.
    void pressSentence(int n, bool onText);

public slots:
    // A press on the lesson page: the page's current event names the element.
    void HtmlEventHandler();
    void mePlayer_EndOfStream();
    void mciPlayer_Done(int notifyCode);

private:
    void pressElement(int n, HtmlElement* element, bool onText);

    StudySession& session_;
    SentencePlayback& playback_;
    LessonStudyMode lessonStudy_;
    AutoBrowseMode autoBrowse_;
    DictationMode dictation_;
    ComparisonMode comparison_;
    RecallEnglishMode recallEnglish_;
    VocabularyMode vocabulary_;
};
