#include "AnkiPackageReader.h"

#include <QFile>
#include <QUuid>

#include <zip.h>

AnkiPackageReader::AnkiPackageReader(const QString& packageFile) : connection_(QUuid::createUuid().toString())
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(packageFile).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive) {
        error = QString("zip_open %1 failed: %2").arg(packageFile).arg(code);
        return;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray bytes(qsizetype(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (!file || zip_fread(file, bytes.data(), stat.size) != zip_int64_t(stat.size))
            error = QString("cannot read entry %1").arg(stat.name);
        if (file)
            zip_fclose(file);
        entries.insert(QString::fromUtf8(stat.name), bytes);
    }
    zip_discard(archive);
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection_);
    db.setDatabaseName(extract("collection.anki2", "collection.anki2"));
    if (!db.open())
        error = "collection does not open";
}

AnkiPackageReader::~AnkiPackageReader()
{
    QSqlDatabase::removeDatabase(connection_);
}

QSqlDatabase AnkiPackageReader::collection() const
{
    return QSqlDatabase::database(connection_);
}

QString AnkiPackageReader::extract(const QString& entry, const QString& fileName) const
{
    const QString path = folder_.filePath(fileName);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(entries.value(entry));
    return path;
}
