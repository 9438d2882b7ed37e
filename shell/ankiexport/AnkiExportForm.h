#pragma once

// 「导出到 Anki」 in the window: the dialog that chooses the package file and
// the padding 「前后留白」, the lesson list's menu entries and the record
// window's export of hard sentences, and each export's progress over the
// window while it runs on a thread of its own.

#include "anki/AnkiPackage.h"
#include "record/RecordEvent.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class AnkiExportJob;
struct CourseVolume;
class CourseLibrary;
class MessageBoxes;
class QLineEdit;
class QMenu;
class QProgressDialog;
class QSpinBox;
class Settings;

struct AnkiExportChoice {
    QString file;
    int paddingMs = kDefaultPaddingMs;
};

// The learner's answer to "where to, with what padding", starting from the
// proposal in `choice`; false when they cancel. `what` names what is exported.
using AnkiExportAsk = std::function<bool(const QString& what, AnkiExportChoice& choice)>;

class AnkiExportForm : public QDialog {
    Q_OBJECT
public:
    AnkiExportForm(const QString& what, const AnkiExportChoice& proposed, QWidget* parent = nullptr);
    AnkiExportChoice choice() const;

    // Shows the dialog over `parent` and waits for the learner.
    static bool ask(QWidget* parent, const QString& what, AnkiExportChoice& choice);

private:
    void browse();

    QLineEdit* file_;
    QSpinBox* padding_;
};

class AnkiExports : public QObject {
    Q_OBJECT
public:
    struct Sources {
        // The books folders, a later one winning a name clash.
        QStringList booksFolders;
        CourseLibrary& library;
        MessageBoxes& messages;
        Settings& settings;
    };
    AnkiExports(const Sources& sources, QWidget* window);
    ~AnkiExports() override;

    // Adds 「导出本课到 Anki…」 and 「导出本册到 Anki…」 for lesson `lesson`
    // (from 0) of `volume`.
    void addLessonEntries(QMenu& menu, const QString& volume, int lesson);
    // Exports the sentences the study record names (volume, lesson title,
    // position), such as a lesson's hard sentences; `what` names them, `name`
    // is the proposed file name without its suffix.
    void exportRecordedSentences(const QVector<SentenceKey>& keys, const QString& what, const QString& name);

    // Asks where the package goes; the window shows AnkiExportForm, tests
    // answer it themselves.
    AnkiExportAsk ask;

private:
    // The volume of that name in the books folders; says so when there is none.
    CourseVolume volumeNamed(const QString& name) const;
    void exportLesson(const QString& volume, int lesson);
    void exportVolume(const QString& volume);
    // Asks, then runs the export of `sentences`; `name` is the proposed file
    // name without its suffix.
    void start(const QString& what, const QString& name, const QList<ExportSentence>& sentences);
    void finish(const AnkiExportResult& result, const QString& file, const QString& deck);

    Sources sources_;
    QWidget* window_;
    AnkiExportJob* job_ = nullptr;
    QPointer<QProgressDialog> progress_;
};
