#pragma once

// Analyses readings on a thread of its own: the recording's sentence (a range
// of the lesson recording) and the learner's take, scored against it. The
// GUI thread asks and carries on; each result comes back later as a signal
// on this object's thread, tagged with the ticket its request was given.
// Only the latest request of each kind is kept: one asked for while another
// of its kind still waits replaces it, and the one replaced never answers.

#include "platform/analysis/ReadingScore.h"
#include "platform/analysis/VoiceAnalysis.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// A part of a sound file: from `start` to `end` seconds (end < 0: to its end).
struct SoundPart {
    QString file;
    double start = 0;
    double end = -1;

    bool operator==(const SoundPart& other) const
    {
        return file == other.file && start == other.start && end == other.end;
    }
};

struct AnalysedReading {
    std::shared_ptr<const VoiceProfile> profile;  // never null; empty on error
    QString error;                                // why the file could not be read
};

// The blocking work, for the thread below and for measuring it.
AnalysedReading analyseReading(const SoundPart& part);

class ReadingAnalyser : public QObject {
    Q_OBJECT
public:
    explicit ReadingAnalyser(QObject* parent = nullptr);
    // Waits for the analysis under way, if any; those still waiting are
    // dropped.
    ~ReadingAnalyser() override;

    // More blocking work on a take, of the caller's own (e.g. judging its
    // pronunciation): run on this thread before takeAnalysed is emitted, so
    // whatever it leaves is ready when that signal comes.
    using TakeWork = std::function<void(const QString& takeFile)>;

    // Each returns the ticket its result will carry.
    int analyseRecording(const SoundPart& recording);
    int analyseTake(const QString& takeFile, const SoundPart& recording, TakeWork alsoOnTake = {});

signals:
    void recordingAnalysed(int ticket, const AnalysedReading& recording);
    // `score` compares the take with the recording part; unscored when
    // either could not be read or holds no voice.
    void takeAnalysed(int ticket, const AnalysedReading& take, const ReadingScore& score);

private:
    struct Request {
        int ticket = 0;
        SoundPart recording;
        QString takeFile;  // empty for a recording request
        TakeWork alsoOnTake;
    };

    void work();
    void run(const Request& request);
    const AnalysedReading& recordingFor(const SoundPart& part);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> recordingRequest_;
    std::optional<Request> takeRequest_;
    bool stopping_ = false;
    int lastTicket_ = 0;
    // Only the worker touches these: the recording part analysed last, kept
    // so that a take is scored without decoding its sentence again.
    std::optional<SoundPart> cachedPart_;
    AnalysedReading cachedRecording_;
    std::thread worker_;
};
