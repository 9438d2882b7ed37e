#pragma once

// Subtitle files as a lesson's text: SubRip (.srt), WebVTT (.vtt), ASS/SSA
// (.ass, .ssa; the text only, styling dropped) and timed lyrics (.lrc). Each
// cue becomes a sentence that starts at the cue's time, as the file gives
// it; Chinese lines of a cue are its translation. Cues may overlap (two
// speakers); cues starting in the same hundredth of a second are one
// sentence. SubRip and WebVTT cues must come in time order, as those
// formats require; ASS/SSA events are sorted.

#include "ownlessons/LessonSentence.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

enum class SubtitleFormat { None, SubRip, WebVtt, Ass, Lyrics };

// The format a file name's extension names; None for any other text.
SubtitleFormat subtitleFormatOf(const QString& fileName);

struct SubtitleCue {
    double start = 0;
    double end = -1;  // negative when the format gives none (LRC)
    QStringList lines;
};

struct SubtitleCues {
    QList<SubtitleCue> cues;  // in time order
    QString error;            // empty when the file was read
};

// A cue from a text that may hold line breaks and markup (a video's text track).
SubtitleCue subtitleCue(double start, double end, const QString& text);

// The cues of a file as they are, Chinese-only ones included.
SubtitleCues readSubtitleCues(const QString& text, SubtitleFormat format);

struct SubtitleReading {
    LessonSentences sentences;
    // Empty when the file was read; otherwise what is wrong, naming the cue.
    QString error;
};

// Reads subtitles. With `mergeCues`, a cue that does not end a sentence is
// joined with the next one (the joined sentence starts at the first cue).
SubtitleReading sentencesOfCues(const QList<SubtitleCue>& cues, bool mergeCues);
SubtitleReading readSubtitles(const QString& text, SubtitleFormat format, bool mergeCues);
