#pragma once

// What a media file holds, read from its streams (not its name): whether it
// has a picture and a sound track, and its text tracks with their language
// and codec; and the cues of one text track, read without decoding the
// picture or the sound.

#include <QList>
#include <QString>

struct TextTrack {
    QString streamId;  // the container's id of the stream
    QString language;  // as the container tags it ("eng", "en-US"…); may be empty
    QString codec;     // a readable name, e.g. "SubRip", "Timed Text"
};

struct MediaStreams {
    bool video = false;
    bool sound = false;
    QList<TextTrack> textTracks;
    QString error;  // empty when the file was read as media; otherwise names it
};

MediaStreams mediaStreamsOf(const QString& path, double timeLimitSeconds = 30);

// "en", "eng" and "en-*" (any letter case).
bool isEnglishLanguage(const QString& tag);
// The first English track, -1 when there is none.
int firstEnglishTrack(const QList<TextTrack>& tracks);
// "1 eng (SubRip)、2 chi (SubRip)" for a message; "没有文字轨" for none.
QString describeTracks(const QList<TextTrack>& tracks);

struct TimedText {
    double start = 0;
    double end = -1;
    QString text;  // as the track gives it, Pango markup included
};

struct TrackCues {
    QList<TimedText> cues;
    QString error;
};

// The cues of text track `track` (a position in mediaStreamsOf()'s list).
TrackCues readTextTrack(const QString& path, const TextTrack& track, double timeLimitSeconds = 120);
