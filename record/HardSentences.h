#pragma once

// Which sentences a learner keeps getting wrong in dictation.

#include <QVector>

#include <vector>

// A sentence is hard once it has been answered wrong at least twice, until it
// is answered right twice in a row after its last wrong answer. answers holds
// its answers in the order given, true for right.
bool isHard(const QVector<bool>& answers);

// The hard sentences among a lesson's answer histories, in lesson order.
std::vector<int> hardSentences(const QVector<QVector<bool>>& historyBySentence);
