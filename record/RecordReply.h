#pragma once

// Handing a study record read's answer to whoever asked for it.

#include <QFuture>
#include <QObject>
#include <QPointer>

#include <utility>

// Runs `use` with the answer once `reply` has it, on the thread the record
// was made on — unless the reply was cancelled first (a newer read replaced
// it, or the record closed) or `receiver` is gone by then.
//
// The check is made here rather than by QFuture::then(context, …): in Qt 6.4
// that continuation requires the context to outlive the reply and reads it
// on the thread that answers, and a window may well close while its read is
// still out.
template <typename Answer, typename Use>
void whenAnswered(QFuture<Answer> reply, const QObject* receiver, Use use)
{
    reply.then([receiver = QPointer<const QObject>(receiver), use = std::move(use)](const Answer& answer) {
        if (receiver)
            use(answer);
    });
}

// Drops the answer `reply` still waits for. A reply already answered is left
// alone: Qt 6.4, cancelling it, would walk to the continuation that has run
// and is gone.
template <typename Answer>
void dropAnswer(QFuture<Answer>& reply)
{
    if (!reply.isFinished())
        reply.cancel();
}

// The same as whenAnswered() for a read asked for again: the answer `latest`
// still waits for is dropped, and `reply` takes its place.
template <typename Answer, typename Use>
void whenLatestAnswered(QFuture<Answer>& latest, QFuture<Answer> reply, const QObject* receiver, Use use)
{
    dropAnswer(latest);
    latest = reply;
    whenAnswered(std::move(reply), receiver, std::move(use));
}
