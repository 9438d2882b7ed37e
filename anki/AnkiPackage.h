#pragma once

// An Anki package made from sentences of any source (a lesson, a volume, the
// study record's hard or due sentences): one note per sentence with its clip,
// cut exactly from its lesson's recording, and for a video lesson the frame
// from the middle of its range, in a note type of its own. Blocking; call it
// off the window's thread.

#include "anki/ExportSentence.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

constexpr int kDefaultPaddingMs = 150;

struct AnkiExportResult {
    QString error;  // what failed, in the learner's words; empty on success
    bool cancelled = false;
    int notes = 0;
    // The videos of video lessons that were not there, each once: their
    // sentences went out as audio notes.
    QStringList missingVideos;
    bool ok() const { return error.isEmpty() && !cancelled; }
};

// What the export tells of a video that was not there.
QString missingVideoNotice(const QString& video);

// Told after each clip (done of total); returning false cancels the export.
using AnkiExportProgress = std::function<bool(int done, int total)>;

// Writes the package to `packageFile`. The package appears there only when it
// is complete: on failure or cancel nothing is left behind, and a file that
// was there stays as it was.
AnkiExportResult exportAnkiPackage(const QList<ExportSentence>& sentences, const QString& packageFile,
                                   int paddingMs = kDefaultPaddingMs, const AnkiExportProgress& progress = {});
