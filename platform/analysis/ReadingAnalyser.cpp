#include "platform/analysis/ReadingAnalyser.h"

#include "platform/analysis/AubioLibrary.h"
#include "platform/analysis/AudioDecoding.h"

AnalysedReading analyseReading(const SoundPart& part)
{
    const DecodedAudio audio = decodeAudio(part.file, part.start, part.end);
    AnalysedReading result;
    result.error = audio.error.isEmpty() ? aubioProblem() : audio.error;
    result.profile = std::make_shared<const VoiceProfile>(
        audio.ok() ? analyseVoice(audio.samples, kAnalysisRate) : VoiceProfile{});
    return result;
}

ReadingAnalyser::ReadingAnalyser(QObject* parent) : QObject(parent), worker_([this] { work(); }) {}

ReadingAnalyser::~ReadingAnalyser()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

int ReadingAnalyser::analyseRecording(const SoundPart& recording)
{
    std::lock_guard<std::mutex> lock(mutex_);
    recordingRequest_ = Request{++lastTicket_, recording, {}, {}};
    wake_.notify_one();
    return lastTicket_;
}

int ReadingAnalyser::analyseTake(const QString& takeFile, const SoundPart& recording, TakeWork alsoOnTake)
{
    std::lock_guard<std::mutex> lock(mutex_);
    takeRequest_ = Request{++lastTicket_, recording, takeFile, std::move(alsoOnTake)};
    wake_.notify_one();
    return lastTicket_;
}

void ReadingAnalyser::work()
{
    for (;;) {
        Request request;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || recordingRequest_ || takeRequest_; });
            if (stopping_)
                return;
            // The recording first: a take waiting behind it is likely scored
            // against that same sentence.
            std::optional<Request>& next = recordingRequest_ ? recordingRequest_ : takeRequest_;
            request = *next;
            next.reset();
        }
        run(request);
    }
}

void ReadingAnalyser::run(const Request& request)
{
    const AnalysedReading& recording = recordingFor(request.recording);
    if (request.takeFile.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, ticket = request.ticket, recording] { emit recordingAnalysed(ticket, recording); },
            Qt::QueuedConnection);
        return;
    }
    const AnalysedReading take = analyseReading({request.takeFile});
    const ReadingScore score = scoreReading(*recording.profile, *take.profile);
    if (request.alsoOnTake)
        request.alsoOnTake(request.takeFile);
    QMetaObject::invokeMethod(
        this, [this, ticket = request.ticket, take, score] { emit takeAnalysed(ticket, take, score); },
        Qt::QueuedConnection);
}

const AnalysedReading& ReadingAnalyser::recordingFor(const SoundPart& part)
{
    if (!cachedPart_ || !(*cachedPart_ == part)) {
        cachedRecording_ = analyseReading(part);
        cachedPart_ = part;
    }
    return cachedRecording_;
}
