#pragma once

// Words while listening: a double-click on an English word of any page or of
// a video lesson's line over its picture (or
// the pointer resting on it, as the lesson menu sets; or Ctrl+←/→ through the
// current sentence's words) shows its card from the
// dictionary, next to the word. ▶ plays the word as it was said where the
// lesson has word times, and has espeak-ng say it elsewhere; ▶▶ plays the
// sentence. No card is shown for English the study hides (recall-English's
// hidden lines, dictation).
//
// The card keeps a word in the word book (生词本, in the study record), with
// the sentence it was met in; every form of a kept word is underlined on the
// pages (the lesson menu turns that off), and the word book has its window.

#include "dictionary/Dictionary.h"
#include "platform/web/HtmlView.h"
#include "record/WordBook.h"
#include "shell/window/WindowContext.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

class QMenu;
class WordBookForm;
class WordCard;

class WordsFeature : public QObject {
    Q_OBJECT
public:
    explicit WordsFeature(const WindowContext& context);
    ~WordsFeature() override;

private:
    // The word on the card: where it stands and what was found.
    struct ShownWord {
        HtmlElement* element = nullptr;
        int sentence = -1;  // on the lesson page or the picture, else -1
        int from = 0;       // in the sentence's text
        int length = 0;
        QString word;
        // The headword it was found under, and all its written forms.
        QString headword;
        QStringList forms;
    };

    void showCard(HtmlView& view, const PageWord& word);
    void showCaptionCard(int sentence, const QString& line, int from, int length, const QRect& box);
    // The card for `written`, characters [from, from + length) of `sentence`
    // (its text `text`), shown beside `box` (window coordinates).
    void present(const QString& written, const QString& text, int from, int length, const QRect& box, int sentence,
                 HtmlElement* element);
    bool hidesEnglish(const HtmlView& view, const HtmlElement* element) const;
    bool stepWord(int direction);
    void playWord();
    void playSentence();
    Dictionary& dictionary();

    void saveWord();
    void removeWord(const QString& word);
    void readWordBook();
    void keepBook(const WordBook& book);
    void markPage(HtmlView& view);
    void setChooseOnRest(bool on);
    void addMenuEntries(QMenu& menu);
    void showWordBook();
    void playMeeting(const WordMeeting& meeting);

    WindowContext context_;
    std::unique_ptr<Dictionary> dictionary_;
    WordCard* card_;
    ShownWord shown_;
    // The kept words, and every written form of them.
    QSet<QString> keptWords_;
    QSet<QString> keptForms_;
    bool marksShown_ = true;
    bool chooseOnRest_ = false;
    // The word the pointer rests on, taken as chosen when the timer ends.
    QTimer rest_;
    HtmlView* restView_ = nullptr;
    PageWord restWord_;
    WordBookForm* bookForm_ = nullptr;
};
