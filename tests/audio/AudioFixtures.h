#pragma once

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
