#include "shell/import/OwnLessonEdits.h"

#include "ownlessons/OwnVolume.h"
#include "platform/system/MessageBoxes.h"
#include "shell/window/Catalogue.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"

#include <vector>

OwnLessonEdits::OwnLessonEdits(Catalogue& catalogue, StudySession& session, SentencePlayback& playback,
                               MessageBoxes& messages, QObject* parent)
    : QObject(parent), catalogue_(catalogue), session_(session), playback_(playback), messages_(messages)
{
}

bool OwnLessonEdits::moveSentenceStart(double seconds)
{
    if (!catalogue_.isOwnVolume()) {
        emit notice("随程序提供的课本不能调整句子的开始时间");
        return true;
    }
    const int sentence = session_.currentSentence();
    const int lesson = catalogue_.currentLesson();
    // Taken even with no sentence to move: the page would read Alt+← as "back".
    if (lesson < 0 || !session_.hasSentence(sentence))
        return true;
    std::vector<double> times = session_.sentenceTimes();
    QString error;
    const double start = ::moveSentenceStart(catalogue_.currentVolumePath(), lesson, sentence, seconds,
                                             times.at(session_.sentenceCount()), &error);
    if (!error.isEmpty()) {
        emit notice(QString("没能调整第 %1 句的开始时间：%2").arg(sentence + 1).arg(error));
        return true;
    }
    times.at(sentence) = start;
    session_.setSentenceTimes(std::move(times));
    catalogue_.readWordTimes();
    playback_.PlaySentence(sentence, true);
    emit notice(QString("第 %1 句从 %2 秒开始").arg(sentence + 1).arg(start, 0, 'f', 2));
    return true;
}

bool OwnLessonEdits::canRemoveLesson() const { return catalogue_.isOwnVolume() && catalogue_.currentLesson() >= 0; }

void OwnLessonEdits::removeLesson()
{
    if (!canRemoveLesson())
        return;
    const int lesson = catalogue_.currentLesson();
    const QString title = catalogue_.lessonTitles().value(lesson);
    // A video lesson says what becomes of its video.
    const LessonVideo video = lessonVideo(catalogue_.currentVolumePath(), lesson);
    const QString videoNote = video.path.isEmpty() ? QString()
                              : video.copiedIn     ? QString("复制进来的视频也会删除。")
                                                   : QString("视频“%1”不会删除。").arg(video.path);
    if (!messages_.askYesNo(
            QString("删除“%1”？这一课的课文、单词、录音和时间文件都会删除，不能恢复。").arg(title) + videoNote))
        return;
    playback_.stop();
    const QString error = ::removeLesson(catalogue_.currentVolumePath(), lesson);
    if (!error.isEmpty()) {
        messages_.inform(QString("没能删除“%1”，这一册没有改动：%2").arg(title, error));
        return;
    }
    catalogue_.showLesson(catalogue_.currentVolumePath(), lesson);
}
