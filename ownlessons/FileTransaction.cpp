#include "ownlessons/FileTransaction.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

// Names no course file has: the catalogue lists only volume folders and
// reads lesson files by their exact names.
QString temporaryName(const QString& name, int serial)
{
    return QString(".%1.%2.part").arg(name).arg(serial);
}

}  // namespace

FileTransaction::FileTransaction(const QString& folder) : folder_(folder) {}

FileTransaction::~FileTransaction()
{
    if (committed_)
        return;
    for (const QString& path : staged_)
        QFile::remove(path);
}

QString FileTransaction::pathOf(const QString& name) const { return QDir(folder_).filePath(name); }

QString FileTransaction::stagePath(const QString& name)
{
    const QString path = pathOf(temporaryName(name, int(staged_.size())));
    staged_ << path;
    stagedFor_.insert(name, path);
    steps_.append({path, pathOf(name)});
    return path;
}

bool FileTransaction::write(const QString& name, const QByteArray& bytes)
{
    const QString path = stagePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        error_ = QStringLiteral("无法写入“%1”：%2").arg(path, file.errorString());
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        error_ = QStringLiteral("无法写入“%1”：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void FileTransaction::rename(const QString& from, const QString& to) { steps_.append({pathOf(from), pathOf(to)}); }

void FileTransaction::remove(const QString& name) { steps_.append({pathOf(name), {}}); }

bool FileTransaction::carryOut(const Step& step, QList<Done>& done)
{
    // A replaced or removed file is first set aside, so it can come back.
    const QString target = step.to.isEmpty() ? step.from : step.to;
    if (QFile::exists(target) && target != step.from) {
        const QString aside = pathOf(temporaryName(QFileInfo(target).fileName(), 1000 + int(done.size())));
        if (!QFile::rename(target, aside))
            return false;
        done.append({target, aside});
    }
    if (step.to.isEmpty()) {
        const QString aside = pathOf(temporaryName(QFileInfo(step.from).fileName(), 2000 + int(done.size())));
        if (!QFile::rename(step.from, aside))
            return false;
        done.append({step.from, aside});
        return true;
    }
    if (!QFile::rename(step.from, step.to))
        return false;
    done.append({step.from, step.to});
    return true;
}

void FileTransaction::undo(const QList<Done>& done)
{
    for (auto it = done.crbegin(); it != done.crend(); ++it)
        QFile::rename(it->to, it->from);
}

bool FileTransaction::commit()
{
    QList<Done> done;
    for (const Step& step : steps_) {
        if (!carryOut(step, done)) {
            undo(done);
            error_ = QStringLiteral("无法更新“%1”里的文件").arg(folder_);
            return false;
        }
    }
    committed_ = true;
    // What was set aside is no longer needed.
    for (const Done& d : done) {
        if (d.to.endsWith(".part"))
            QFile::remove(d.to);
    }
    return true;
}
