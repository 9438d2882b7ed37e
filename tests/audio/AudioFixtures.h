#pragma once

#include <QDir>
#include <QString>

// Where the audio tests find their files.
inline QString audioFixture(const char* name)
{
    return QStringLiteral(LEXBAY_AUDIO_FIXTURES "/") + QLatin1String(name);
}

inline QString blankTemplateWav()
{
    return QStringLiteral(LEXBAY_BLANK_WAV);
}

// Sinks and sources that keep real time without a sound card.
inline const QString kTestSink = QStringLiteral("fakesink sync=true");
inline const QString kTestSource = QStringLiteral("audiotestsrc is-live=true");

// Whether the automatic sink and source would find a real device here; the
// tests of their silent stand-ins need a machine without one.
inline bool machineHasSoundCard()
{
    return !QDir(QStringLiteral("/dev/snd")).entryList({QStringLiteral("pcm*")}, QDir::System).isEmpty();
}

// Points the sound-server client at nothing, so no server is found either.
inline void hideSoundServer()
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/lexbay-test");
}
