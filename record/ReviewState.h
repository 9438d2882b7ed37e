#pragma once

// What the record keeps of daily review, as the review window and the record
// window read it: the sentences due, and the figures of the last and next
// 30 days.

#include "record/RecordEvent.h"

#include <QDate>
#include <QMetaType>
#include <QVector>

// How many due sentences one day's review takes at most, unless set.
inline constexpr int kDefaultDailyReviews = 50;
// The settings key the learner's daily limit is kept under, and the limit a
// stored value gives: one sentence at least.
inline constexpr char kDailyReviewsKey[] = "ReviewDailyLimit";
inline int dailyReviewLimit(int stored) { return stored > 1 ? stored : 1; }

// A sentence or a word in review, and its memory.
struct ReviewItem {
    // A sentence's; for a word, the sentence it was last kept from (number -1
    // when it was kept from a word list).
    SentenceKey sentence;
    // A word of the word book, as the dictionary writes it, and as the
    // sentence writes it; empty for a sentence.
    QString word;
    QString wordForm;
    QDate due;
    QDate lastReview;
    double stability = 0;
    double difficulty = 0;
    int reviews = 0;
    int lapses = 0;
};

// The sentences and words due on a day, most overdue first.
using ReviewQueue = QVector<ReviewItem>;

// How many items are due on a day, and how many of them were due before.
struct DueCount {
    int due = 0;
    int overdue = 0;
    int words = 0;  // of the due, words of the word book
};

struct ReviewOverview {
    static constexpr int kDays = 30;
    QDate today;
    // Sentences falling due on each of the next 30 days, today first (the
    // overdue ones counted today).
    QVector<int> dueByDay;
    // Reviews on each of the last 30 days, oldest first, today last.
    QVector<int> reviewsByDay;
    // Over the last 30 days, the reviews of sentences that were due, and how
    // many of them were recalled (graded anything but Again).
    int dueReviews = 0;
    int recalled = 0;
};

Q_DECLARE_METATYPE(ReviewQueue)
Q_DECLARE_METATYPE(ReviewOverview)
