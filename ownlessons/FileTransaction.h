#pragma once

// A set of file changes in one folder that happens whole or not at all. New
// contents are written to temporary files beside their targets first; only
// when every one is written are they renamed into place, and if a rename
// fails, those already done are undone.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class FileTransaction {
public:
    explicit FileTransaction(const QString& folder);
    ~FileTransaction();  // removes what was staged but not committed
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    // A temporary file in the folder for `name`, to be filled by the caller
    // (an encoder, say) and moved into place at commit.
    QString stagePath(const QString& name);
    // Stages `bytes` as the new content of `name`. False (and error() says
    // why) when they cannot be written.
    bool write(const QString& name, const QByteArray& bytes);
    // Renames `from` to `to` at commit (both names in the folder).
    void rename(const QString& from, const QString& to);
    // Removes `name` at commit.
    void remove(const QString& name);

    // Carries out every change in order; on failure, undoes them and returns false.
    bool commit();
    QString error() const { return error_; }
    QString pathOf(const QString& name) const;
    // The temporary file staged for `name` (empty when none is).
    QString stagedPathOf(const QString& name) const { return stagedFor_.value(name); }

private:
    struct Step {
        QString from;  // a temporary file, or an existing one to rename
        QString to;    // empty: remove `from`
    };
    struct Done {
        QString from;
        QString to;
    };
    bool carryOut(const Step& step, QList<Done>& done);
    void undo(const QList<Done>& done);

    QString folder_;
    QList<Step> steps_;
    QStringList staged_;
    QHash<QString, QString> stagedFor_;
    QString error_;
    bool committed_ = false;
};
