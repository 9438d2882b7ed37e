#include "record/HardSentences.h"

#include <algorithm>

bool isHard(const QVector<bool>& answers)
{
    if (std::count(answers.begin(), answers.end(), false) < 2)
        return false;
    int rightSinceLastWrong = 0;
    for (auto it = answers.rbegin(); it != answers.rend() && *it; ++it)
        ++rightSinceLastWrong;
    return rightSinceLastWrong < 2;
}

std::vector<int> hardSentences(const QVector<QVector<bool>>& historyBySentence)
{
    std::vector<int> hard;
    for (int n = 0; n < historyBySentence.size(); ++n) {
        if (isHard(historyBySentence[n]))
            hard.push_back(n);
    }
    return hard;
}
