#pragma once

// The acoustic model's phone states read from its own files, so that how
// well each state fits a frame can be weighed outside the decoder: the
// decoder gives only its best path, and a boundary between two words on
// that path may jump by a few frames when the recording changes by a
// little noise. The model is Debian's US English one: each phone said in
// its neighbours' context has three states; each state's density is a
// mixture over its base phone's three codebooks of 128 Gaussians, one
// codebook per stream (the cepstra, their change, and its change).

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class PhoneStates {
public:
    static constexpr int kStates = 3;    // emitting states of each phone
    static constexpr int kCepstra = 13;  // per stream
    static constexpr int kFeatures = 3 * kCepstra;

    // Where a phone lies in its word.
    enum Position { Inside = 0, First = 1, Last = 2, Alone = 3 };

    struct Phone {
        std::array<int, kStates> senones{};
        int transitions = 0;  // its transition matrix
    };

    // The model in `folder` (mdef, means, variances, sendump,
    // transition_matrices); null with the reason in `error` when a file
    // is missing or not laid out as expected.
    static std::unique_ptr<PhoneStates> load(const QString& folder, QString* error);
    // The model the aligner uses, read once for the whole process; null when it cannot be read.
    static const PhoneStates* shared();

    // The base phone named ("AH"), -1 when the model has no such phone;
    // base phones are numbered from 0 up to baseCount().
    int baseId(const QString& name) const;
    int baseCount() const { return int(bases_.size()); }
    int silenceId() const { return silence_; }
    // The base phone `base` said between `left` and `right`; the nearest the
    // model has when it lacks that context.
    Phone phone(int base, int left, int right, Position position) const;
    // The log probability of going from state `from` (0–2) to `to` of
    // matrix `matrix`, 3 leaving the phone; minus infinity when it cannot.
    float transition(int matrix, int from, int to) const;

    // One frame scored against one base phone's codebooks: per stream, the
    // best density, and each density that counts beside it with its
    // likelihood over the best. Every senone of the base phone mixes these.
    struct CodebookScore {
        std::array<float, 3> best{};
        std::array<std::vector<std::pair<std::uint8_t, float>>, 3> counting;
    };
    int baseOf(int senone) const { return senoneBase_[size_t(senone)]; }
    // `features`: kFeatures values.
    void scoreCodebook(const float* features, int base, CodebookScore* scored) const;
    // The log likelihood of the frame `codebook` was scored on under `senone`, one of its base phone's.
    float senoneScore(const CodebookScore& codebook, int senone) const;

private:
    PhoneStates() = default;
    int phoneIdOf(int base, int left, int right, int position) const;
    // Each of the model's files read into the model; false when it is not as expected.
    bool readDefinition(const QString& path, int* transitionCount);
    void keepCodebooks(const std::vector<float>& means, const std::vector<float>& variances, int densities);
    bool readWeights(const QString& path);
    bool readTransitions(const QString& path, int count);

    struct Codebook {
        // Per stream: each dimension's 128 means and 1/(2 var), dimension by
        // dimension, and each Gaussian's log normalising term.
        std::vector<float> means, precisions, norms;
    };

    QStringList bases_;
    int silence_ = -1;
    int densities_ = 0;
    std::vector<std::pair<std::uint32_t, int>> contextPhones_;  // sorted by context key
    std::vector<Phone> phones_;       // every phone, base phones first
    std::vector<int> senoneBase_;     // each senone's base phone, whose codebooks it mixes
    std::vector<Codebook> codebooks_;
    std::vector<std::uint8_t> weights_;  // [senone][stream][density], quantised −log weights
    std::array<float, 256> weightOf_{};  // a quantised weight as a probability
    std::vector<std::array<float, 12>> transitions_;  // log, [from * 4 + to]
};
