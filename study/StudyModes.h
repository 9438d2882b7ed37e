#pragma once

// The six study modes, made once with the window, and the one switch between
// them: the running mode leaves, the status changes, the next mode enters.
// The study status names the mode that runs; page presses, range ends, the
// wave player's notifications and the sentence keys go to it.

#include "study/AutoBrowseMode.h"
#include "study/ComparisonMode.h"
#include "study/DictationMode.h"
#include "study/LessonStudyMode.h"
#include "study/RecallEnglishMode.h"
#include "study/SpokenWordMark.h"
#include "study/VocabularyMode.h"

#include <QObject>

class CourseLibrary;
class HtmlElement;
class MessageBoxes;
class SentencePlayback;
class StudySession;
class WaveDevice;

// What the modes work with besides the session, the playback and their panels.
struct StudyTools {
    MessageBoxes& messages;
    CourseLibrary& library;
    WaveDevice& recorder;
    WaveDevice& wavePlayer;
};

class StudyModes : public QObject {
    Q_OBJECT
public:
    StudyModes(StudySession& session, SentencePlayback& playback, const StudyTools& tools,
               const BrowseChoices& browsePanel, SpellPanelView& spellPanel, ComparePanelView& comparePanel,
               QObject* parent = nullptr);

    LessonStudyMode& lessonStudy() { return lessonStudy_; }
    AutoBrowseMode& autoBrowse() { return autoBrowse_; }
    DictationMode& dictation() { return dictation_; }
    ComparisonMode& comparison() { return comparison_; }
    RecallEnglishMode& recallEnglish() { return recallEnglish_; }
    VocabularyMode& vocabulary() { return vocabulary_; }

    // The mode of the session's status; nullptr before start-up.
    StudyMode* active();

    // The switch: the running mode leaves, then `next` enters. Entering the
    // running mode again does nothing.
    void switchTo(StudyMode& next);
    // A mode's toolbar button: back to lesson study when the mode runs, into
    // it otherwise.
    void toggle(StudyMode& mode);
    // Leaves the running mode for lesson study; false when lesson study runs.
    bool leaveRunning();

    // A press on sentence n's English text or sound icon, as the page makes
    // it: the player stops, and the running mode takes the press.
    void pressSentence(int n, bool onText);
    // The sentence keys: the current sentence pressed on its icon, or a step
    // to the previous or next sentence as the running mode takes it. False
    // when no lesson page with sentences is shown.
    bool pressCurrentSentence();
    bool stepSentence(int direction);

public slots:
    // A press on the lesson page: the page's current event names the element.
    void HtmlEventHandler();
    void mePlayer_EndOfStream();
    void mciPlayer_Done(int notifyCode);

private:
    void pressElement(int n, HtmlElement* element, bool onText);
    bool sentenceKeysAct();

    StudySession& session_;
    SentencePlayback& playback_;
    LessonStudyMode lessonStudy_;
    AutoBrowseMode autoBrowse_;
    DictationMode dictation_;
    ComparisonMode comparison_;
    RecallEnglishMode recallEnglish_;
    VocabularyMode vocabulary_;
    // In every mode that plays the recording.
    SpokenWordMark spokenWord_;
};
