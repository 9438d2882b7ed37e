#include "study/StudyModes.h"

#include "platform/audio/WaveDevice.h"
#include "platform/web/HtmlView.h"
#include "study/SentenceElements.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

StudyModes::StudyModes(StudySession& session, SentencePlayback& playback, const StudyTools& tools,
                       const BrowsePanel& browsePanel, const SpellPanel& spellPanel,
                       const ComparePanel& comparePanel, QObject* parent)
    : QObject(parent), session_(session), playback_(playback), lessonStudy_(session, playback),
      autoBrowse_(session, playback, tools.messages, tools.window, browsePanel),
      dictation_(session, playback, tools.messages, tools.window, tools.library, tools.loadLesson, spellPanel),
      comparison_(session, playback, tools.messages, tools.window, tools.recorder, tools.wavePlayer, comparePanel),
      recallEnglish_(session, playback), vocabulary_(session)
{
    connect(&playback_, &SentencePlayback::rangeEnded, this, &StudyModes::mePlayer_EndOfStream);
    connect(&tools.wavePlayer, &WaveDevice::done, this, &StudyModes::mciPlayer_Done);
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
