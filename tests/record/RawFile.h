#pragma once

// What the record tests share: a plain look into the record's file, and a
// wait for a read to come back.

#include "record/StudyRecord.h"

#include <QFuture>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <QTest>

#include <gtest/gtest.h>

// A plain look into the file, as another program would have.
class RawFile {
public:
    explicit RawFile(const QString& file) : name_(QString("raw-%1").arg(quintptr(this)))
    {
        db_ = QSqlDatabase::addDatabase("QSQLITE", name_);
        db_.setDatabaseName(file);
        db_.open();
    }
    ~RawFile()
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    QVariant value(const QString& sql)
    {
        QSqlQuery q(db_);
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    }
    bool exec(const QString& sql) { return QSqlQuery(db_).exec(sql); }

private:
    QString name_;
    QSqlDatabase db_;
};

template <typename Signal>
QList<QVariant> waitFor(StudyRecord& record, Signal signal)
{
    QSignalSpy spy(&record, signal);
    EXPECT_TRUE(spy.wait(5000));
    return spy.isEmpty() ? QList<QVariant>() : spy.takeFirst();
}

template <typename Answer>
Answer waitFor(QFuture<Answer> reply)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return reply.isFinished(); }, 5000));
    EXPECT_EQ(reply.resultCount(), 1);
    return reply.resultCount() == 1 ? reply.result() : Answer();
}
