#include "shell/words/WordsFeature.h"

#include "anki/CourseSentences.h"
#include "course/WordTime.h"
#include "dictionary/EntryText.h"
#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "record/StudyRecorder.h"
#include "shell/Platform.h"
#include "shell/widgets/VideoPane.h"
#include "shell/widgets/VideoView.h"
#include "shell/window/Commands.h"
#include "shell/window/Keys.h"
#include "shell/window/LessonMenu.h"
#include "shell/window/Settings.h"
#include "shell/words/WordBookForm.h"
#include "shell/words/WordCard.h"
#include "study/DictationText.h"
#include "study/SentenceElements.h"
#include "study/SentencePlayback.h"
#include "study/StudyModes.h"
#include "study/StudySession.h"

#include <QDateTime>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>

namespace {

// Whether kept words are underlined on the pages (1, the default) or not (0).
const char* const kMarksKey = "WordBookMarks";
// Whether the pointer resting on a word shows its card (1) or only a
// double-click does (0, the default).
const char* const kOnRestKey = "WordCardOnRest";
// How long the pointer rests on a word before its card shows.
constexpr int kRestMs = 600;

// The words of a text as [from, length) pairs: letters and digits, with the
// apostrophes, hyphens and stops inside them.
QList<QPair<int, int>> wordsOf(const QString& text)
{
    static const QRegularExpression word(
        R"([0-9A-Za-z\x{00C0}-\x{024F}]+(?:['\x{2019}.\-][0-9A-Za-z\x{00C0}-\x{024F}]+)*)");
    QList<QPair<int, int>> words;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.append({int(m.capturedStart()), int(m.capturedLength())});
    }
    return words;
}

// The written forms a kept word is marked by: the headword and its
// inflections, lower-case.
QStringList writtenForms(const DictionaryEntry& entry)
{
    QStringList forms{entry.word.toLower()};
    for (const QString& item : entry.exchange.split('/', Qt::SkipEmptyParts)) {
        const QString kind = item.section(':', 0, 0);
        const QString form = item.section(':', 1).toLower();
        if (QString("pdi3rts").contains(kind) && !form.isEmpty() && !form.contains(' ') && !forms.contains(form))
            forms << form;
    }
    return forms;
}

// The timed word that the characters [from, from + length) of the
// sentence's text fall in; nullptr when none does.
const WordTime* timedWord(const WordTimes& words, int from, int length)
{
    for (const WordTime& w : words) {
        if (from < w.from + w.length && w.from < from + length)
            return &w;
    }
    return nullptr;
}

}  // namespace

WordsFeature::WordsFeature(const WindowContext& context) : QObject(&context.window), context_(context)
{
    setObjectName("wordsFeature");
    card_ = new WordCard(context_.window);
    connect(card_, &WordCard::playWordAsked, this, &WordsFeature::playWord);
    connect(card_, &WordCard::playSentenceAsked, this, &WordsFeature::playSentence);
    connect(card_, &WordCard::saveAsked, this, &WordsFeature::saveWord);
    marksShown_ = context_.settings.number(kMarksKey, 1) != 0;
    chooseOnRest_ = context_.settings.number(kOnRestKey, 0) != 0;
    for (HtmlView* view : {&context_.lessonView, &context_.wordListView}) {
        connect(view, &HtmlView::wordChosen, this, [this, view](const PageWord& word) { showCard(*view, word); });
        connect(view, &HtmlView::wordPointedAt, this, [this, view](const PageWord& word) {
            restView_ = view;
            restWord_ = word;
            if (word.element != nullptr)
                rest_.start();
            else
                rest_.stop();
        });
        connect(view, &HtmlView::documentComplete, card_, &WordCard::dismiss);
        connect(view, &HtmlView::documentComplete, this, [this, view] {
            // The word the pointer rested on went with the page before.
            if (restView_ == view)
                rest_.stop();
            markPage(*view);
            if (chooseOnRest_)
                view->document()->tellPointedWords(true);
        });
    }
    rest_.setSingleShot(true);
    rest_.setInterval(kRestMs);
    connect(&rest_, &QTimer::timeout, this, [this] {
        if (restView_ != nullptr && restView_->document() && restWord_.element != nullptr)
            showCard(*restView_, restWord_);
    });
    connect(&context_.session, &StudySession::lessonStarted, &rest_, &QTimer::stop);
    context_.commands.add("btWordBook", "生词本", [this] { showWordBook(); }, this);
    context_.lessonMenu.add(LessonMenu::Views, [this](QMenu& menu, int) { addMenuEntries(menu); });
    readWordBook();
    connect(&context_.videoPane, &VideoPane::captionWordChosen, this, &WordsFeature::showCaptionCard);
    // A mode that begins may hide the English the card stands for.
    connect(&context_.session, &StudySession::statusChanged, card_, &WordCard::dismiss);
    using K = KeyBinding;
    context_.keys.add({
        {Qt::Key_Right, Qt::ControlModifier, "Ctrl+→", "查当前句的下一个词", nullptr, K::ToTextBoxes, true,
         [this] { return stepWord(+1); }},
        {Qt::Key_Left, Qt::ControlModifier, "Ctrl+←", "查当前句的上一个词", nullptr, K::ToTextBoxes, true,
         [this] { return stepWord(-1); }},
    });
}

WordsFeature::~WordsFeature() = default;

Dictionary& WordsFeature::dictionary()
{
    if (!dictionary_)
        dictionary_ = std::make_unique<Dictionary>(context_.platform.dictionaryFile);
    return *dictionary_;
}

bool WordsFeature::hidesEnglish(const HtmlView& view, const HtmlElement* element) const
{
    if (&view != &context_.lessonView)
        return false;
    return &context_.modes.dictation() == context_.modes.active() || element->styleColor() == kColourHidden;
}

void WordsFeature::showCard(HtmlView& view, const PageWord& word)
{
    if (word.element == nullptr || hidesEnglish(view, word.element))
        return;
    const bool english = &view != &context_.lessonView || word.element->id().startsWith("engs");
    if (!english)
        return;
    const QString text = plainText(word.element);
    const int lead = leadingBlanks(text);
    QWidget* page = view.widget();
    const QRect box(page ? page->mapTo(&context_.window, word.box.topLeft()) : word.box.topLeft(), word.box.size());
    present(word.text, text.trimmed(), word.from - lead, word.length, box,
            &view == &context_.lessonView ? GetSentenceNo(word.element) : -1, word.element);
}

// The pane shows no line while dictating; one shown is the current sentence's.
void WordsFeature::showCaptionCard(int sentence, const QString& line, int from, int length, const QRect& box)
{
    if (context_.modes.active() == &context_.modes.dictation())
        return;
    const QWidget* view = context_.videoPane.view();
    present(line.mid(from, length), line, from, length, QRect(view->mapTo(&context_.window, box.topLeft()), box.size()),
            sentence, nullptr);
}

void WordsFeature::present(const QString& written, const QString& text, int from, int length, const QRect& box,
                           int sentence, HtmlElement* element)
{
    const WordLookup lookup = dictionary().lookup(written);
    const DictionaryEntry* headword = lookup.found() ? &lookup.entries.first().entry : nullptr;
    shown_ = {element,
              sentence,
              from,
              length,
              lookup.word.isEmpty() ? written : lookup.word,
              headword ? headword->word : QString(),
              headword ? writtenForms(*headword) : QStringList()};
    card_->setSaved(headword && keptWords_.contains(headword->word));
    card_->present(lookup, text, from, length, box);
}

bool WordsFeature::stepWord(int direction)
{
    const int n = context_.session.currentSentence();
    HtmlElement* element = context_.session.englishElement(n);
    HtmlDocument* page = context_.session.page();
    if (element == nullptr || page == nullptr || hidesEnglish(context_.lessonView, element))
        return false;
    const QList<QPair<int, int>> words = wordsOf(plainText(element));
    if (words.isEmpty())
        return false;
    int next = direction > 0 ? 0 : int(words.size()) - 1;
    if (card_->isVisible() && shown_.element == element) {
        // The card's characters count from the sentence's first letter.
        const int from = shown_.from + leadingBlanks(plainText(element));
        for (int k = 0; k < words.size(); ++k) {
            if (words.at(k).first <= from && from < words.at(k).first + words.at(k).second)
                next = std::clamp(k + direction, 0, int(words.size()) - 1);
        }
    }
    page->locateWord(element, words.at(next).first, words.at(next).second);
    return true;
}

void WordsFeature::playWord()
{
    const WordTimes times = context_.session.wordTimes(shown_.sentence);
    if (const WordTime* said = timedWord(times, shown_.from, shown_.length)) {
        // A word heard ends the browse: it would otherwise wait for a range end that never comes.
        if (context_.modes.active() == &context_.modes.autoBrowse())
            context_.modes.leaveRunning();
        context_.playback.playStretch(said->start, said->end);
        return;
    }
    if (!QProcess::startDetached("espeak-ng", {"-v", "en-us", "--", shown_.word}))
        context_.showNotice("无法朗读这个词：找不到 espeak-ng");
}

void WordsFeature::playSentence()
{
    if (context_.session.hasSentence(shown_.sentence))
        context_.modes.pressSentence(shown_.sentence, false);
}

void WordsFeature::saveWord()
{
    if (shown_.headword.isEmpty())
        return;
    RecordEvent saved;
    saved.kind = RecordEvent::WordSaved;
    saved.at = QDateTime::currentMSecsSinceEpoch();
    saved.word = shown_.headword;
    saved.forms = shown_.forms;
    saved.form = shown_.word;
    const int n = shown_.sentence;
    if (context_.session.hasSentence(n) && n < context_.recorder.sentences().size()) {
        saved.sentence = context_.recorder.sentences().at(n);
        const std::vector<double>& times = context_.session.sentenceTimes();
        saved.clipStart = times[n];
        saved.clipEnd = times[n + 1];
    }
    context_.record.add(saved);
    keepBook({{shown_.headword, shown_.forms, saved.at, {}}});
    card_->setSaved(true);
    if (bookForm_ != nullptr && bookForm_->isVisible())
        readWordBook();
}

void WordsFeature::removeWord(const QString& word)
{
    RecordEvent removed;
    removed.kind = RecordEvent::WordRemoved;
    removed.at = QDateTime::currentMSecsSinceEpoch();
    removed.word = word;
    context_.record.add(removed);
    keptWords_.clear();
    keptForms_.clear();
    readWordBook();
}

void WordsFeature::readWordBook()
{
    whenAnswered(context_.record.readWordBook(), this, [this](const WordBook& book) {
        keepBook(book);
        if (bookForm_ != nullptr)
            bookForm_->showBook(book);
    });
}

// Adds the words to those kept and marks them on the pages.
void WordsFeature::keepBook(const WordBook& book)
{
    for (const SavedWord& saved : book) {
        keptWords_.insert(saved.word);
        for (const QString& form : saved.forms)
            keptForms_.insert(form);
    }
    markPage(context_.lessonView);
    markPage(context_.wordListView);
}

// Sends the page only the kept forms its text has, so a big word book costs
// a page no more than a small one.
void WordsFeature::markPage(HtmlView& view)
{
    const std::shared_ptr<HtmlDocument> page = view.document();
    if (!page)
        return;
    QSet<QString> onPage;
    if (marksShown_ && !keptForms_.isEmpty()) {
        for (int i = 0; i < page->count(); ++i) {
            const HtmlElement* element = page->item(i);
            if (element->tagName() != "A")
                continue;
            const QString text = plainText(element);
            for (const auto& [from, length] : wordsOf(text)) {
                const QString word = text.mid(from, length).toLower().replace(QChar(0x2019), '\'');
                if (keptForms_.contains(word))
                    onPage.insert(word);
            }
        }
    }
    page->markWords(QStringList(onPage.cbegin(), onPage.cend()));
}

void WordsFeature::addMenuEntries(QMenu& menu)
{
    menu.addAction("生词本…", this, &WordsFeature::showWordBook);
    QAction* marks = menu.addAction("在课文中标出生词本里的词", this, [this](bool on) {
        marksShown_ = on;
        context_.settings.setNumber(kMarksKey, on ? 1 : 0);
        markPage(context_.lessonView);
        markPage(context_.wordListView);
    });
    marks->setCheckable(true);
    marks->setChecked(marksShown_);
    QAction* onRest = menu.addAction("鼠标停在词上时查词", this, &WordsFeature::setChooseOnRest);
    onRest->setCheckable(true);
    onRest->setChecked(chooseOnRest_);
}

void WordsFeature::setChooseOnRest(bool on)
{
    chooseOnRest_ = on;
    rest_.stop();
    context_.settings.setNumber(kOnRestKey, on ? 1 : 0);
    for (HtmlView* view : {&context_.lessonView, &context_.wordListView}) {
        if (const std::shared_ptr<HtmlDocument> page = view->document())
            page->tellPointedWords(on);
    }
}

void WordsFeature::showWordBook()
{
    if (bookForm_ == nullptr) {
        bookForm_ = new WordBookForm(
            [this](const QString& word) {
                const DictionaryEntry entry = dictionary().entry(word);
                return entry.meanings.value(0);
            },
            &context_.window);
        connect(bookForm_, &WordBookForm::removeAsked, this, &WordsFeature::removeWord);
        connect(bookForm_, &WordBookForm::playAsked, this, &WordsFeature::playMeeting);
    }
    readWordBook();
    bookForm_->show();
    bookForm_->raise();
    bookForm_->activateWindow();
}

// A sentence of the word book plays in its lesson, which the window shows.
void WordsFeature::playMeeting(const WordMeeting& meeting)
{
    const Platform& platform = context_.platform;
    const CourseVolume volume = findVolume(meeting.sentence.volume, {platform.shippedBooks, platform.ownBooks});
    const int lesson =
        volume.folder.isEmpty() ? -1 : lessonTitles(*platform.library, volume).indexOf(meeting.sentence.lesson);
    if (lesson < 0) {
        context_.showNotice(
            QString("“%1 · %2”已不在课本中，只留下例句的文字").arg(meeting.sentence.volume, meeting.sentence.lesson));
        return;
    }
    const auto name = context_.session.lessonName();
    if (name.volume != meeting.sentence.volume || name.title != meeting.sentence.lesson)
        context_.showLesson(volume.folder, lesson);
    if (context_.session.hasSentence(meeting.sentence.number))
        context_.modes.pressSentence(meeting.sentence.number, false);
}
