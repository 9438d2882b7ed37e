#pragma once

// An Anki package opened as Anki's importer opens it: the zip's entries, and
// the collection in it as an SQLite database.

#include <QByteArray>
#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

class AnkiPackageReader {
public:
    explicit AnkiPackageReader(const QString& packageFile);
    ~AnkiPackageReader();

    // Empty when the zip and its collection opened.
    QString error;
    QMap<QString, QByteArray> entries;
    QSqlDatabase collection() const;
    // An entry written out as a file of its own.
    QString extract(const QString& entry, const QString& fileName) const;

private:
    QTemporaryDir folder_;
    QString connection_;
};
