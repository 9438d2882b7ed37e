#pragma once

// The dialog that makes a recording and its text (or subtitles) a lesson of
// one of the learner's own volumes: the files, the volume (one of the
// learner's own or a new name, a refused name said at once) and the title;
// the import runs on a thread of its own with its progress shown, and can be
// cancelled. A finished import is announced with the new lesson's place.
// A video chosen as the recording offers its text tracks in place of a
// subtitle file, a file of Chinese subtitles and copying the video in.

#include "ownlessons/LessonImport.h"

#include <QDialog>

#include <atomic>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;

class ImportForm : public QDialog {
    Q_OBJECT
public:
    // `ownBooks` is the learner's books folder, `shippedBooks` the one that
    // comes with the program (its volumes' names are refused),
    // `programFolder` the folder of the course-data library and the page
    // heads; `volume` the volume offered first.
    ImportForm(const QString& ownBooks, const QString& shippedBooks, const QString& programFolder,
               const QString& volume, QWidget* parent = nullptr);
    ~ImportForm() override;

    bool running() const { return worker_ != nullptr; }

    QLineEdit* txtAudio = nullptr;
    QLineEdit* txtText = nullptr;
    QComboBox* cbImportVolume = nullptr;
    QLabel* lbVolumeProblem = nullptr;
    QLineEdit* txtTitle = nullptr;
    // Shown for a video only.
    QComboBox* cbTextTrack = nullptr;  // item 0: the subtitle file; then the video's text tracks
    QLineEdit* txtTranslation = nullptr;
    QCheckBox* chkCopyVideo = nullptr;
    QProgressBar* pbImport = nullptr;
    QLabel* lbOutcome = nullptr;
    QPushButton* btStart = nullptr;
    QPushButton* btCancel = nullptr;

signals:
    // The lesson is in place: lesson `lessonIndex` (from 0) of `volumeFolder`.
    void imported(const QString& volumeFolder, int lessonIndex);

protected:
    void reject() override;

private:
    QWidget* fileRow(QLineEdit* path, const QString& caption, const QString& filter);
    void listOwnVolumes(const QString& volume);
    void audioChosen(const QString& path);
    void showVideoChoices(const QString& path);
    QList<QWidget*> inputs() const;
    QString volumeProblem(const QString& name) const;
    void checkVolume();
    void start();
    void showProgress(int percent, int sentence, int count);
    void finish();

    QString ownBooks_;
    QString shippedBooks_;
    QString programFolder_;
    QString defaultTitle_;
    QList<QWidget*> videoRows_;
    bool video_ = false;  // the recording chosen is a video
    QThread* worker_ = nullptr;
    std::atomic_bool cancel_{false};
    ImportResult result_;
};
