#pragma once

// Subtitle files as a lesson's text: SubRip (.srt), WebVTT (.vtt) and timed
// lyrics (.lrc). Each cue becomes a sentence that starts at the cue's time,
// as the file gives it; Chinese lines of a cue are its translation.

#include "ownlessons/LessonSentence.h"

#include <QByteArray>
#include <QString>

enum class SubtitleFormat { None, SubRip, WebVtt, Lyrics };

// The format a file name's extension names; None for any other text.
SubtitleFormat subtitleFormatOf(const QString& fileName);

struct SubtitleReading {
    LessonSentences sentences;
    // Empty when the file was read; otherwise what is wrong, naming the cue.
    QString error;
};

// Reads subtitles. With `mergeCues`, a cue that does not end a sentence is
// joined with the next one (the joined sentence starts at the first cue).
SubtitleReading readSubtitles(const QString& text, SubtitleFormat format, bool mergeCues);
