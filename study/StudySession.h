#pragma once

// The lesson being studied and what every study mode shares: its sentences
// and their times in the recording, the page's element tables, the current
// sentence and its marking, whether the Chinese lines are shown, and the
// study status. Changes are signalled; the window follows the signals.

#include "course/WordTime.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class HtmlDocument;
class HtmlElement;
class PageEventHandler;

// Which lesson a page holds: its volume folder and its title as listed.
struct LessonName {
    QString volume;
    QString title;
};

class StudySession : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // ----- Status -----
    // 0 until start-up sets the idle status; then one of the Status values.
    // Set by StudyModes' switch alone.
    int status() const { return status_; }
    void SetStatus(int status);

    // ----- The lesson -----
    // Takes a newly loaded lesson page of sentenceCount sentences: gives every
    // sentence's text and icon its colour, the pointing hand and pressHandler,
    // fills the element tables and makes sentence 0 current. The times are 0
    // until setSentenceTimes.
    void startLesson(std::shared_ptr<HtmlDocument> page, int sentenceCount,
                     const std::shared_ptr<PageEventHandler>& pressHandler, const LessonName& name = {});
    // Entry n is the start of sentence n in the recording, entry
    // sentenceCount() the recording's length: sentence n ends where n + 1
    // starts. Missing entries read as 0.
    void setSentenceTimes(std::vector<double> times);
    // When each sentence's words are spoken, entry n for sentence n; known
    // for lessons that keep their word times, none otherwise. startLesson
    // clears them.
    void setWordTimes(QList<WordTimes> words);
    // Sentence n's, in the order spoken; empty when not known.
    WordTimes wordTimes(int n) const { return words_.value(n); }
    // Drops the page and its element tables (the window is closing).
    void releasePage();

    const LessonName& lessonName() const { return lessonName_; }
    int sentenceCount() const { return sentenceCount_; }
    bool hasSentence(int n) const { return n >= 0 && n < sentenceCount_; }
    const std::vector<double>& sentenceTimes() const { return times_; }
    HtmlDocument* page() const { return page_.get(); }
    HtmlElement* englishElement(int n) const;
    // nullptr while the page shows no Chinese lines.
    HtmlElement* chineseElement(int n) const;

    // Whether lesson pages are made with the Chinese line under each sentence:
    // when the learner chooses it, and while a mode needs the lines (dictation
    // reads its hints from them) whatever the learner chose.
    bool showChinese() const { return chineseChosen_ || chineseNeeded_; }
    // The learner's own choice, as stored and as the window's switch shows it.
    bool chineseChosen() const { return chineseChosen_; }
    void setChineseChosen(bool shown);
    void setChineseNeeded(bool needed);

    // ----- The current sentence (-1: none) -----
    int currentSentence() const { return currentSentence_; }
    // Makes sentence nNo current and marks it in the page; its position shows.
    void SetCurSentence(int nNo);
    // Makes sentence n current without moving the page's marking or the
    // position shown, as dictation steps through the lesson.
    void moveCurrentSentence(int n);
    // Shows "sentence sentenceNumber of sentenceCount()".
    void ShowPositionText(int sentenceNumber);

signals:
    void statusChanged(int status);
    void currentSentenceChanged(int sentence);
    void positionShown(int sentenceCount, int sentenceNumber);
    // A new lesson page has been taken; the current sentence is set after it.
    void lessonStarted();
    // The learner's choice or showChinese() changed: the lesson page is to be
    // made again (at once, before the call that changed it returns).
    void showChineseChanged();

private:
    void prepareSentenceElements(const std::shared_ptr<PageEventHandler>& pressHandler);

    void changeShowChinese(bool& flag, bool value);

    int status_ = 0;
    bool chineseChosen_ = false;
    bool chineseNeeded_ = false;
    std::shared_ptr<HtmlDocument> page_;
    LessonName lessonName_;
    int sentenceCount_ = 0;
    std::vector<HtmlElement*> englishElements_;
    std::vector<HtmlElement*> chineseElements_;
    std::vector<double> times_;
    QList<WordTimes> words_;
    int currentSentence_ = 0;
};
