#include "platform/pronunciation/WordBoundary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// How far either side of the decoder's boundaries the two words are
// weighed (frames): a phone or two of each word, twice the furthest move
// below. Further reach cost a tenth more import time and changed no figure.
constexpr int kReach = 14;
// How much a frame's likelihood counts against the ways through. The
// frames overlap and each is counted as if it alone told the phone, so a
// weighing on the likelihoods alone is as sure as the best way; at this
// share near-equal ways keep their share of the boundary, and the join
// moves by a frame where the best way jumped by three.
constexpr float kAcousticWeight = 0.15f;
// How likely a pause comes between two words before the sound is heard:
// seldom, so that a stop's closure stays in its word unless the silence
// itself says otherwise.
constexpr float kPauseProbability = 0.02f;
// The weighing moves a join at most this far from the decoder's (frames).
// Two near-equal ways are two or three frames apart; where the weighed
// join lies further off, the ways were cut at the window's edge, which
// then draws the join rather than the sound does (under steady noise,
// which a pause fits about as well as speech).
constexpr int kFurthestMove = 6;

constexpr float kImpossible = -std::numeric_limits<float>::infinity();
constexpr int K = PhoneStates::kStates;

float addLogs(float a, float b)
{
    if (a == kImpossible)
        return b;
    if (b == kImpossible)
        return a;
    const float high = std::max(a, b);
    return high + std::log1p(std::exp(std::min(a, b) - high));
}

// The model's features of frame t: the cepstra, their change over four
// frames, and the change of that, the recording's edges held.
void featuresAt(const ModelFrames& frames, int t, float* features)
{
    const int last = frames.frames() - 1;
    const auto at = [&](int offset) {
        return frames.cepstra.data() + size_t(std::clamp(t + offset, 0, last)) * ModelFrames::kCepstra;
    };
    const float *now = at(0), *ahead2 = at(2), *back2 = at(-2), *ahead3 = at(3), *back1 = at(-1), *ahead1 = at(1),
                *back3 = at(-3);
    for (int k = 0; k < PhoneStates::kCepstra; ++k) {
        features[k] = now[k];
        features[PhoneStates::kCepstra + k] = ahead2[k] - back2[k];
        features[2 * PhoneStates::kCepstra + k] = (ahead3[k] - back1[k]) - (ahead1[k] - back3[k]);
    }
}

// The two words' phones as a small graph: the first word's phones, then
// either straight into the second word's or through a pause. The phones
// either side of the join appear twice, once in each neighbour's context,
// so that whether there is a pause is weighed with the rest rather than
// taken from the decoder.
struct Node {
    PhoneStates::Phone phone;
    int word = 0;  // 0 the first word, 1 the pause, 2 the second
    float start = 0;  // log weight of beginning in this phone
    std::vector<std::pair<int, float>> next, previous;  // neighbouring phones, log weight of the step
};

struct Phones {
    std::vector<int> bases;
    std::vector<PhoneStates::Position> positions;
};

bool phonesOf(const PhoneStates& model, const QString& word, Phones* phones)
{
    const QStringList names = word.split(' ', Qt::SkipEmptyParts);
    for (int p = 0; p < names.size(); ++p) {
        const int base = model.baseId(names[p]);
        if (base < 0)
            return false;
        phones->bases.push_back(base);
        phones->positions.push_back(names.size() == 1 ? PhoneStates::Alone
                                    : p == 0          ? PhoneStates::First
                                    : p + 1 == names.size() ? PhoneStates::Last
                                                            : PhoneStates::Inside);
    }
    return !names.isEmpty();
}

std::vector<Node> graphOf(const PhoneStates& model, const Phones& first, const Phones& second)
{
    const int silence = model.silenceId();
    const float pause = std::log(kPauseProbability), straight = std::log(1 - kPauseProbability);
    const size_t firstCount = first.bases.size(), secondCount = second.bases.size();
    std::vector<Node> nodes;
    const auto add = [&](const Phones& word, size_t p, int left, int right, int part) {
        nodes.push_back({model.phone(word.bases[p], left, right, word.positions[p]), part, kImpossible, {}, {}});
        return int(nodes.size() - 1);
    };
    const auto link = [&](int from, int to, float weight) {
        nodes[size_t(from)].next.push_back({to, weight});
        nodes[size_t(to)].previous.push_back({from, weight});
    };
    // The first word up to its last phone, which begins the two ways.
    int last = -1;
    for (size_t p = 0; p + 1 < firstCount; ++p) {
        const int node = add(first, p, p > 0 ? first.bases[p - 1] : silence, first.bases[p + 1], 0);
        if (last >= 0)
            link(last, node, 0);
        last = node;
    }
    const int beforeLast = firstCount > 1 ? first.bases[firstCount - 2] : silence;
    const int lastStraight = add(first, firstCount - 1, beforeLast, second.bases[0], 0);
    const int lastPaused = add(first, firstCount - 1, beforeLast, silence, 0);
    const int silent = int(nodes.size());
    nodes.push_back({model.phone(silence, silence, silence, PhoneStates::Alone), 1, kImpossible, {}, {}});
    const int afterSecond = secondCount > 1 ? second.bases[1] : silence;
    const int firstStraight = add(second, 0, first.bases[firstCount - 1], afterSecond, 2);
    const int firstPaused = add(second, 0, silence, afterSecond, 2);
    if (last >= 0) {
        link(last, lastStraight, straight);
        link(last, lastPaused, pause);
    }
    link(lastStraight, firstStraight, 0);
    link(lastPaused, silent, 0);
    link(silent, firstPaused, 0);
    int previous = -1;
    for (size_t p = 1; p < secondCount; ++p) {
        const int node = add(second, p, second.bases[p - 1], p + 1 < secondCount ? second.bases[p + 1] : silence, 2);
        if (previous < 0) {
            link(firstStraight, node, 0);
            link(firstPaused, node, 0);
        } else {
            link(previous, node, 0);
        }
        previous = node;
    }
    // The ways begin anywhere in the first word, each of its last phone's two by its way's weight.
    const float even = -std::log(float(firstCount));
    for (Node& node : nodes)
        if (node.word == 0)
            node.start = even;
    nodes[size_t(lastStraight)].start += straight;
    nodes[size_t(lastPaused)].start += pause;
    return nodes;
}

}  // namespace

float FrameScores::senone(int frame, int senone)
{
    const int base = model_.baseOf(senone);
    const std::int64_t key = std::int64_t(frame) << 8 | base;
    auto scored = scored_.find(key);
    if (scored == scored_.end()) {
        float features[PhoneStates::kFeatures];
        featuresAt(frames_, frame, features);
        scored = scored_.emplace(key, PhoneStates::CodebookScore()).first;
        model_.scoreCodebook(features, base, &scored->second);
    }
    return model_.senoneScore(scored->second, senone);
}

WordJoin likelyJoin(FrameScores& scores, const QString& first, const QString& second, const WordJoin& decoded)
{
    const PhoneStates& model = scores.model();
    Phones firstPhones, secondPhones;
    const int lo = std::max(decoded.firstStart, decoded.firstEnd - kReach);
    const int hi = std::min({decoded.secondEnd, decoded.secondStart + kReach + 1, scores.frames()});
    if (hi - lo < 3 || decoded.firstEnd <= lo || decoded.secondStart >= hi || decoded.firstEnd > decoded.secondStart
        || !phonesOf(model, first, &firstPhones) || !phonesOf(model, second, &secondPhones))
        return decoded;
    const std::vector<Node> nodes = graphOf(model, firstPhones, secondPhones);
    const int frameCount = hi - lo;
    const int stateCount = int(nodes.size()) * K;
    const auto at = [stateCount](int t, int node, int state) { return size_t(t * stateCount + node * K + state); };

    std::vector<float> emissions(size_t(frameCount * stateCount));
    for (int t = 0; t < frameCount; ++t)
        for (size_t n = 0; n < nodes.size(); ++n)
            for (int q = 0; q < K; ++q)
                emissions[at(t, int(n), q)] = kAcousticWeight * scores.senone(lo + t, nodes[n].phone.senones[size_t(q)]);
    const auto within = [&](int node, int from, int to) {
        return model.transition(nodes[size_t(node)].phone.transitions, from, to);
    };

    // Forward: the ways into each state; backward: the ways from it to the
    // window's end, which they reach anywhere in the second word.
    std::vector<float> forward(emissions.size(), kImpossible), backward(emissions.size(), kImpossible);
    for (size_t n = 0; n < nodes.size(); ++n)
        for (int q = 0; q < K; ++q)
            forward[at(0, int(n), q)] = nodes[n].start + emissions[at(0, int(n), q)];
    for (int t = 1; t < frameCount; ++t)
        for (size_t n = 0; n < nodes.size(); ++n)
            for (int q = 0; q < K; ++q) {
                float sum = kImpossible;
                for (int from = 0; from <= q; ++from)
                    sum = addLogs(sum, forward[at(t - 1, int(n), from)] + within(int(n), from, q));
                if (q == 0)
                    for (const auto& [p, weight] : nodes[n].previous)
                        for (int from = 0; from < K; ++from)
                            sum = addLogs(sum, forward[at(t - 1, p, from)] + within(p, from, K) + weight);
                forward[at(t, int(n), q)] = sum + emissions[at(t, int(n), q)];
            }
    for (size_t n = 0; n < nodes.size(); ++n)
        if (nodes[n].word == 2)
            for (int q = 0; q < K; ++q)
                backward[at(frameCount - 1, int(n), q)] = 0;
    for (int t = frameCount - 2; t >= 0; --t)
        for (size_t n = 0; n < nodes.size(); ++n)
            for (int q = 0; q < K; ++q) {
                float sum = kImpossible;
                for (int to = q; to < K; ++to)
                    sum = addLogs(sum, within(int(n), q, to) + emissions[at(t + 1, int(n), to)]
                                           + backward[at(t + 1, int(n), to)]);
                for (const auto& [next, weight] : nodes[n].next)
                    sum = addLogs(sum, within(int(n), q, K) + weight + emissions[at(t + 1, next, 0)]
                                           + backward[at(t + 1, next, 0)]);
                backward[at(t, int(n), q)] = sum;
            }

    // The expected frame at which the ways step from a phone of part
    // `leaving` into one of another part, or from another part into one of
    // part `entering`.
    const auto expectedStep = [&](int leaving, int entering) {
        std::vector<float> stepping(size_t(frameCount), kImpossible);
        float total = kImpossible;
        for (int t = 1; t < frameCount; ++t) {
            for (size_t n = 0; n < nodes.size(); ++n)
                for (const auto& [next, weight] : nodes[n].next) {
                    const int from = nodes[n].word, to = nodes[size_t(next)].word;
                    if (from == to || (leaving >= 0 && from != leaving) || (entering >= 0 && to != entering))
                        continue;
                    for (int q = 0; q < K; ++q)
                        stepping[size_t(t)] = addLogs(stepping[size_t(t)],
                                                      forward[at(t - 1, int(n), q)] + within(int(n), q, K) + weight
                                                          + emissions[at(t, next, 0)] + backward[at(t, next, 0)]);
                }
            total = addLogs(total, stepping[size_t(t)]);
        }
        double expected = 0;
        for (int t = 1; t < frameCount; ++t)
            expected += t * std::exp(double(stepping[size_t(t)] - total));
        return total == kImpossible ? -1 : lo + int(std::lround(expected));
    };
    const int firstEnd = expectedStep(0, -1);
    const int secondStart = expectedStep(-1, 2);
    if (firstEnd < 0 || secondStart < 0)
        return decoded;
    WordJoin weighed = decoded;
    weighed.firstEnd = std::clamp(std::clamp(firstEnd, decoded.firstEnd - kFurthestMove, decoded.firstEnd + kFurthestMove),
                                  decoded.firstStart + 1, decoded.secondEnd - 1);
    weighed.secondStart
        = std::clamp(std::clamp(secondStart, decoded.secondStart - kFurthestMove, decoded.secondStart + kFurthestMove),
                     weighed.firstEnd, decoded.secondEnd - 1);
    return weighed;
}
