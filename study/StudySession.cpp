#include "study/StudySession.h"

#include "platform/web/HtmlView.h"
#include "study/SentenceElements.h"

namespace {

HtmlElement* elementAt(const std::vector<HtmlElement*>& table, int n)
{
    return n >= 0 && n < static_cast<int>(table.size()) ? table[n] : nullptr;
}

std::vector<HtmlElement*> sentenceTable(const HtmlDocument* page, int count,
                                        HtmlElement* (*lookUp)(const HtmlDocument*, int))
{
    std::vector<HtmlElement*> table(count);
    for (int i = 0; i < count; ++i)
        table[i] = lookUp(page, i);
    return table;
}

}  // namespace

void StudySession::SetStatus(int status)
{
    status_ = status;
    emit statusChanged(status);
}

void StudySession::setChineseChosen(bool shown) { changeShowChinese(chineseChosen_, shown); }

void StudySession::setChineseNeeded(bool needed) { changeShowChinese(chineseNeeded_, needed); }

void StudySession::changeShowChinese(bool& flag, bool value)
{
    if (flag == value)
        return;
    flag = value;
    emit showChineseChanged();
}

void StudySession::startLesson(std::shared_ptr<HtmlDocument> page, int sentenceCount,
                               const std::shared_ptr<PageEventHandler>& pressHandler, const LessonName& name)
{
    currentSentence_ = -1;
    emit currentSentenceChanged(currentSentence_);
    page_ = std::move(page);
    lessonName_ = name;
    sentenceCount_ = sentenceCount;
    times_.assign(sentenceCount + 2, 0.0);
    words_.clear();
    prepareSentenceElements(pressHandler);
    englishElements_ = sentenceTable(page_.get(), sentenceCount, GetESentence);
    chineseElements_ = showChinese() ? sentenceTable(page_.get(), sentenceCount, GetCSentence)
                                    : std::vector<HtmlElement*>();
    emit lessonStarted();
    // A lesson without sentences has nothing to mark.
    if (sentenceCount > 0)
        SetCurSentence(0);
    else
        ShowPositionText(0);
}

void StudySession::prepareSentenceElements(const std::shared_ptr<PageEventHandler>& pressHandler)
{
    const int elements = page_ ? page_->count() : 0;
    for (int i = 0; i < elements; ++i) {
        HtmlElement* element = page_->item(i);
        if (element->tagName() != "A" && element->tagName() != "IMG")
            continue;
        const QString prefix = element->id().left(4);
        if (prefix == "engs" || prefix == "imgs") {
            element->setStyleCursor("hand");
            element->setStyleColor(kColourNormal);
            element->setMouseDownHandler(pressHandler);
        } else if (prefix == "chns") {
            element->setStyleColor(kColourChinese);
        }
    }
}

void StudySession::setSentenceTimes(std::vector<double> times)
{
    times.resize(sentenceCount_ + 2, 0.0);
    times_ = std::move(times);
}

void StudySession::setWordTimes(QList<WordTimes> words) { words_ = std::move(words); }

void StudySession::releasePage()
{
    englishElements_.clear();
    chineseElements_.clear();
    page_.reset();
}

HtmlElement* StudySession::englishElement(int n) const { return elementAt(englishElements_, n); }

HtmlElement* StudySession::chineseElement(int n) const
{
    return showChinese() ? elementAt(chineseElements_, n) : nullptr;
}

void StudySession::SetCurSentence(int nNo)
{
    if (currentSentence_ != -1)
        paint(englishElement(currentSentence_), kColourNormal);
    currentSentence_ = nNo;
    paint(englishElement(nNo), kColourCurrent);
    ElementDisplayingStatus(showChinese() ? chineseElement(nNo) : englishElement(nNo));
    ShowPositionText(nNo + 1);
    emit currentSentenceChanged(nNo);
}

void StudySession::moveCurrentSentence(int n)
{
    currentSentence_ = n;
    emit currentSentenceChanged(n);
}

void StudySession::ShowPositionText(int sentenceNumber) { emit positionShown(sentenceCount_, sentenceNumber); }
