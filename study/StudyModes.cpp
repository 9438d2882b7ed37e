#include "study/StudyModes.h"

#include "platform/audio/WaveDevice.h"
#include "platform/web/HtmlView.h"
#include "study/SentenceElements.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

StudyModes::StudyModes(StudySession& session, SentencePlayback& playback, const StudyTools& tools,
                       const BrowseChoices& browsePanel, SpellPanelView& spellPanel,
                       ComparePanelView& comparePanel, QObject* parent)
    : QObject(parent), session_(session), playback_(playback), lessonStudy_(session, playback),
      autoBrowse_(session, playback, tools.messages, browsePanel),
      dictation_(session, playback, tools.messages, tools.library, spellPanel),
      comparison_(session, playback, tools.messages, tools.recorder, tools.wavePlayer, comparePanel),
      recallEnglish_(session, playback), vocabulary_(session), spokenWord_(session, playback)
{
    connect(&playback_, &SentencePlayback::rangeEnded, this, &StudyModes::mePlayer_EndOfStream);
    connect(&tools.wavePlayer, &WaveDevice::done, this, &StudyModes::mciPlayer_Done);
    connect(&autoBrowse_, &StudyMode::finished, this, [this] { switchTo(lessonStudy_); });
}

StudyMode* StudyModes::active()
{
    for (StudyMode* mode : std::initializer_list<StudyMode*>{&lessonStudy_, &autoBrowse_, &dictation_, &comparison_,
                                                             &recallEnglish_, &vocabulary_}) {
        if (mode->isRunning())
            return mode;
    }
    return nullptr;
}

void StudyModes::switchTo(StudyMode& next)
{
    StudyMode* running = active();
    if (running == &next)
        return;
    if (running != nullptr)
        running->leave();
    session_.SetStatus(next.status());
    next.enter();
}

void StudyModes::toggle(StudyMode& mode) { switchTo(mode.isRunning() ? static_cast<StudyMode&>(lessonStudy_) : mode); }

bool StudyModes::leaveRunning()
{
    StudyMode* running = active();
    if (running == nullptr || running == &lessonStudy_)
        return false;
    switchTo(lessonStudy_);
    return true;
}

void StudyModes::HtmlEventHandler()
{
    const HtmlDocument* page = session_.page();
    if (page == nullptr)
        return;
    const HtmlEvent e = page->currentEvent();
    HtmlElement* element = e.srcElement;
    if (e.type != "mousedown" || element == nullptr)
        return;
    const bool onText = element->tagName() == "A";
    if (!onText && element->tagName() != "IMG")
        return;
    pressElement(GetSentenceNo(element), element, onText);
}

void StudyModes::pressSentence(int n, bool onText)
{
    const HtmlDocument* page = session_.page();
    HtmlElement* element = !page ? nullptr : onText ? GetESentence(page, n) : GetISentence(page, n);
    if (element != nullptr)
        pressElement(n, element, onText);
}

void StudyModes::pressElement(int n, HtmlElement* element, bool onText)
{
    playback_.stop();
    // Ids outside the lesson (a page whose text holds its own ids) are ignored.
    if (!session_.hasSentence(n))
        return;
    if (StudyMode* mode = active())
        mode->sentencePressed(n, element, onText);
}

bool StudyModes::sentenceKeysAct()
{
    const StudyMode* mode = active();
    return mode != nullptr && mode->takesSentenceKeys() && session_.sentenceCount() > 0;
}

bool StudyModes::pressCurrentSentence()
{
    if (!sentenceKeysAct())
        return false;
    pressSentence(session_.currentSentence(), false);
    return true;
}

bool StudyModes::stepSentence(int direction)
{
    if (!sentenceKeysAct())
        return false;
    const StudyMode::Step step = active()->step(direction);
    if (session_.hasSentence(step.sentence))
        pressSentence(step.sentence, step.onText);
    return true;
}

void StudyModes::mePlayer_EndOfStream()
{
    if (StudyMode* mode = active())
        mode->rangeEnded();
}

void StudyModes::mciPlayer_Done(int notifyCode)
{
    if (StudyMode* mode = active())
        mode->wavePlayerDone(notifyCode);
}
