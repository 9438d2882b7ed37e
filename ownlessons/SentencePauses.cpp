#include "ownlessons/SentencePauses.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A pause longer than this counts no more than this (frames): a pause
// between sentences is longer than the gaps between words, but how much
// longer says little.
constexpr int kLongPause = 100;
// The warped gap between two sentences may miss their pause by this much.
constexpr int kGapSlack = 12;
// A sentence left without a pause costs as much as a short pause far away.
constexpr double kNoPauseCost = 30;

struct Candidate {
    Pause pause;  // {around, around} when the sentence gets no pause
    double cost = 0;
    double total = std::numeric_limits<double>::infinity();
    int back = -1;  // the previous sentence's candidate
};

double costOf(const Pause& pause, const WarpedSentence& sentence)
{
    const int length = pause.end - pause.begin;
    // The warping squeezes a long pause: the sentence's warped start may
    // lie anywhere in it.
    const int away = std::max({0, pause.begin - sentence.around, sentence.around - pause.end});
    const bool covers = pause.end >= sentence.previousEnd && pause.begin <= sentence.around + kGapSlack;
    return 0.5 * away - std::min(length, kLongPause) - (covers ? 20 : 0);
}

std::vector<Candidate> candidatesOf(const std::vector<Pause>& pauses, const WarpedSentence& sentence, int reach)
{
    std::vector<Candidate> candidates;
    auto first = std::lower_bound(pauses.begin(), pauses.end(), sentence.around - reach,
                                  [](const Pause& p, int at) { return p.end < at; });
    for (auto p = first; p != pauses.end() && p->begin <= sentence.around + reach; ++p)
        candidates.push_back({*p, costOf(*p, sentence)});
    candidates.push_back({{sentence.around, sentence.around}, kNoPauseCost});
    return candidates;
}

}  // namespace

std::vector<Pause> pausesOf(const std::vector<bool>& speech, int shortest)
{
    std::vector<Pause> pauses;
    const int frames = int(speech.size());
    for (int i = 0; i < frames;) {
        if (speech[size_t(i)]) {
            ++i;
            continue;
        }
        int end = i;
        while (end < frames && !speech[size_t(end)])
            ++end;
        if (end - i >= shortest && end < frames)
            pauses.push_back({i, end});
        i = end;
    }
    return pauses;
}

std::vector<Pause> choosePauses(const std::vector<Pause>& pauses, const std::vector<WarpedSentence>& sentences,
                                int reach)
{
    std::vector<std::vector<Candidate>> table;
    table.reserve(sentences.size());
    for (size_t k = 0; k < sentences.size(); ++k) {
        std::vector<Candidate> candidates = candidatesOf(pauses, sentences[k], reach);
        for (Candidate& c : candidates) {
            if (k == 0) {
                c.total = c.cost;
                continue;
            }
            // The previous sentence's pause ends before this one begins.
            const std::vector<Candidate>& before = table.back();
            for (size_t b = 0; b < before.size(); ++b) {
                if (before[b].pause.end <= c.pause.begin && before[b].total + c.cost < c.total) {
                    c.total = before[b].total + c.cost;
                    c.back = int(b);
                }
            }
        }
        table.push_back(std::move(candidates));
    }
    std::vector<Pause> chosen(sentences.size());
    if (table.empty())
        return chosen;
    auto best = std::min_element(table.back().begin(), table.back().end(),
                                 [](const Candidate& a, const Candidate& b) { return a.total < b.total; });
    int at = int(best - table.back().begin());
    for (size_t k = table.size(); k-- > 0 && at >= 0;) {
        const Candidate& c = table[k][size_t(at)];
        if (c.pause.begin != c.pause.end)
            chosen[k] = c.pause;
        at = c.back;
    }
    return chosen;
}
