#include "shell/record/StudyRecordForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const char* const kTitle = "学习记录";

QTableWidget* table(QWidget* parent, const char* name, const QStringList& headers)
{
    auto* t = new QTableWidget(0, headers.size(), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

void setRow(QTableWidget* t, int row, const QStringList& cells)
{
    for (int column = 0; column < cells.size(); ++column)
        t->setItem(row, column, new QTableWidgetItem(cells[column]));
}

// A round step for the minute axis: 1, 2, 5, 10, 20, 50, … .
double niceStep(double top)
{
    const double raw = std::max(top, 1.0) / 4;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (raw <= m * magnitude)
            return m * magnitude;
    }
    return 10 * magnitude;
}

}  // namespace

DayChart::DayChart(QWidget* parent) : QWidget(parent)
{
    setObjectName("dayChart");
    setAccessibleName("每日学习分钟");
    setMinimumSize(560, 220);
}

void DayChart::setDays(const QVector<RecordOverview::Day>& days)
{
    days_ = days;
    update();
}

void DayChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QFontMetrics metrics = p.fontMetrics();
    const int left = metrics.horizontalAdvance("0000") + 14;
    const int bottom = height() - 2 * metrics.height() - 8;
    const int top = metrics.height() + 8;
    const int right = width() - 10;
    double most = 0;
    for (const RecordOverview::Day& day : days_)
        most = std::max(most, day.minutes);
    const double step = niceStep(most);
    const double axisTop = step * std::max(1.0, std::ceil(most / step));
    const auto yOf = [&](double minutes) { return bottom - int((bottom - top) * minutes / axisTop); };

    for (double m = 0; m <= axisTop + 1e-9; m += step) {
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(left, yOf(m), right, yOf(m));
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRect(0, yOf(m) - metrics.height() / 2, left - 6, metrics.height()), Qt::AlignRight,
                   QString::number(m));
    }
    p.drawText(QRect(0, 0, width(), top - 4), Qt::AlignLeft | Qt::AlignVCenter, "分钟");
    p.drawText(QRect(0, height() - metrics.height() - 2, width(), metrics.height()), Qt::AlignCenter,
               "日期（最近 30 天）");
    if (days_.isEmpty())
        return;
    const double slot = double(right - left) / days_.size();
    for (int i = 0; i < days_.size(); ++i) {
        const int x = left + int(i * slot);
        const int barWidth = std::max(2, int(slot * 0.7));
        p.fillRect(QRect(x + int(slot * 0.15), yOf(days_[i].minutes), barWidth, bottom - yOf(days_[i].minutes)),
                   QColor("#2e7d32"));
        // Every fifth day and the last are named, as month-day.
        if (i % 5 == 0 || i == days_.size() - 1)
            p.drawText(QRect(x - 20, bottom + 4, int(slot) + 40, metrics.height()), Qt::AlignHCenter,
                       days_[i].date.mid(5));
    }
    p.drawLine(left, bottom, right, bottom);
    p.drawLine(left, top, left, bottom);
}

ReviewChart::ReviewChart(QWidget* parent) : QWidget(parent)
{
    setObjectName("reviewChart");
    setAccessibleName("复习：今后 30 天到期的句子，最近 30 天的复习");
    setMinimumSize(560, 160);
}

void ReviewChart::setOverview(const ReviewOverview& overview)
{
    overview_ = overview;
    update();
}

// Two bar rows side by side: the last 30 days' reviews on the left, the next
// 30 days' due sentences on the right, one count axis for both.
void ReviewChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QFontMetrics metrics = p.fontMetrics();
    const int top = metrics.height() + 8;
    const int bottom = height() - metrics.height() - 8;
    const int left = metrics.horizontalAdvance("0000") + 14;
    const int middle = (left + width() - 10) / 2;
    const int right = width() - 10;
    int most = 0;
    for (const QVector<int>* days : {&overview_.reviewsByDay, &overview_.dueByDay})
        for (const int count : *days)
            most = std::max(most, count);
    const double step = niceStep(most);
    const double axisTop = step * std::max(1.0, std::ceil(most / step));
    const auto yOf = [&](double count) { return bottom - int((bottom - top) * count / axisTop); };
    for (double c = 0; c <= axisTop + 1e-9; c += step) {
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(left, yOf(c), right, yOf(c));
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRect(0, yOf(c) - metrics.height() / 2, left - 6, metrics.height()), Qt::AlignRight,
                   QString::number(c));
    }
    const auto bars = [&](const QVector<int>& days, int from, int to, const QColor& colour) {
        const double slot = double(to - from) / std::max<qsizetype>(days.size(), 1);
        for (int i = 0; i < days.size(); ++i)
            p.fillRect(QRect(from + int(i * slot + slot * 0.15), yOf(days[i]), std::max(2, int(slot * 0.7)),
                             bottom - yOf(days[i])),
                       colour);
    };
    bars(overview_.reviewsByDay, left, middle, QColor("#1565c0"));
    bars(overview_.dueByDay, middle, right, QColor("#ef6c00"));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(left, 0, middle - left, top - 4), Qt::AlignLeft | Qt::AlignVCenter, "最近 30 天每天复习的句数");
    p.drawText(QRect(middle, 0, right - middle, top - 4), Qt::AlignLeft | Qt::AlignVCenter, "今后 30 天每天到期的句数");
    p.drawText(QRect(left, bottom + 4, middle - left, metrics.height()), Qt::AlignCenter, "← 今天");
    p.drawText(QRect(middle, bottom + 4, right - middle, metrics.height()), Qt::AlignCenter, "今天 →");
    p.drawLine(left, bottom, right, bottom);
    p.drawLine(middle, top, middle, bottom);
}

StudyRecordForm::StudyRecordForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("StudyRecordForm");
    setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(this);
    chart_ = new DayChart(this);
    layout->addWidget(chart_);
    reviewChart_ = new ReviewChart(this);
    layout->addWidget(reviewChart_);
    recalled_ = new QLabel(this);
    recalled_->setObjectName("reviewRecalled");
    layout->addWidget(recalled_);
    lessons_ = table(this, "lessonTable", {"课文", "学习次数", "听写一次答对 / 句数", "最近学习"});
    layout->addWidget(lessons_);
    hardTitle_ = new QLabel(this);
    hardTitle_->setObjectName("hardTitle");
    layout->addWidget(hardTitle_);
    hard_ = table(this, "hardTable", {"英文", "中文"});
    layout->addWidget(hard_);
    exportHard_ = new QPushButton("导出难句到 Anki…", this);
    exportHard_->setObjectName("exportHardToAnki");
    connect(exportHard_, &QPushButton::clicked, this, &StudyRecordForm::exportHardSentences);
    layout->addWidget(exportHard_, 0, Qt::AlignRight);
    exportDue_ = new QPushButton("导出今日复习到 Anki…", this);
    exportDue_->setObjectName("exportDueToAnki");
    connect(exportDue_, &QPushButton::clicked, this, &StudyRecordForm::exportDueSentences);
    layout->addWidget(exportDue_, 0, Qt::AlignRight);
    resize(720, 940);
}

void StudyRecordForm::showOverview(const RecordOverview& overview)
{
    chart_->setDays(overview.days);
    lessons_->setRowCount(overview.lessons.size());
    for (int row = 0; row < overview.lessons.size(); ++row) {
        const RecordOverview::Lesson& l = overview.lessons[row];
        setRow(lessons_, row,
               {l.title, QString::number(l.timesStudied),
                l.sentences > 0 ? QString("%1 / %2").arg(l.rightAtFirstTry).arg(l.sentences) : QString("—"),
                l.lastStudied.isEmpty() ? QString("—") : l.lastStudied});
    }
    lessons_->resizeColumnsToContents();
}

void StudyRecordForm::showReviewOverview(const ReviewOverview& overview)
{
    reviewChart_->setOverview(overview);
    recalled_->setText(overview.dueReviews == 0
                           ? QString("最近 30 天没有到期的复习")
                           : QString("最近 30 天到期的复习 %1 次，记住了 %2 次（%3%）")
                                 .arg(overview.dueReviews)
                                 .arg(overview.recalled)
                                 .arg(qRound(100.0 * overview.recalled / overview.dueReviews)));
}

void StudyRecordForm::showHardSentences(const QString& lesson, const QVector<QPair<QString, QString>>& sentences)
{
    hardTitle_->setText(sentences.isEmpty() ? QString("“%1”没有难句").arg(lesson)
                                            : QString("“%1”的难句（至少错过两次，之后还没有连续答对两次）").arg(lesson));
    hard_->setRowCount(sentences.size());
    for (int row = 0; row < sentences.size(); ++row)
        setRow(hard_, row, {sentences[row].first, sentences[row].second});
    hard_->resizeColumnsToContents();
    exportHard_->setEnabled(!sentences.isEmpty());
}
