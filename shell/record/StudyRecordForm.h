#pragma once

// The record window (学习记录): minutes studied per day over the last 30 days,
// the current volume's lessons, and the current lesson's hard sentences, which
// the learner can export to Anki.

#include "record/RecordEvent.h"
#include "record/ReviewState.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;

// Minutes per day as bars, with labelled axes.
class DayChart : public QWidget {
    Q_OBJECT
public:
    explicit DayChart(QWidget* parent = nullptr);
    void setDays(const QVector<RecordOverview::Day>& days);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<RecordOverview::Day> days_;
};

// The daily review at a glance: sentences falling due on each of the next
// 30 days, and reviews on each of the last 30.
class ReviewChart : public QWidget {
    Q_OBJECT
public:
    explicit ReviewChart(QWidget* parent = nullptr);
    void setOverview(const ReviewOverview& overview);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ReviewOverview overview_;
};

class StudyRecordForm : public QDialog {
    Q_OBJECT
public:
    explicit StudyRecordForm(QWidget* parent = nullptr);

    void showOverview(const RecordOverview& overview);
    void showReviewOverview(const ReviewOverview& overview);
    // The hard sentences of the lesson: English, then Chinese.
    void showHardSentences(const QString& lesson, const QVector<QPair<QString, QString>>& sentences);

signals:
    // The learner asked for the shown hard sentences as an Anki package.
    void exportHardSentences();
    void exportDueSentences();

private:
    DayChart* chart_;
    ReviewChart* reviewChart_;
    QLabel* recalled_;
    QTableWidget* lessons_;
    QLabel* hardTitle_;
    QTableWidget* hard_;
    QPushButton* exportHard_;
    QPushButton* exportDue_;
};
