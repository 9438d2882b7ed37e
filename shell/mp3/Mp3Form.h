#pragma once

// The dialog that tells where each lesson's recording and timing file lie,
// and credits the maker of the recordings.

#include <QDialog>

class CourseLibrary;
class QLabel;
class QPushButton;

class Mp3Form : public QDialog {
    Q_OBJECT
public:
    explicit Mp3Form(CourseLibrary& library);

    // The explanation of where the recordings lie: seven lines, each followed
    // by a line end, with an empty line between two of them.
    static QString explanation();

    QLabel* Label1 = nullptr;
    QLabel* lbMakerLink = nullptr;
    QLabel* lbProductLink = nullptr;
    QLabel* Label10 = nullptr;
    QPushButton* btOk = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CourseLibrary& library_;
};
