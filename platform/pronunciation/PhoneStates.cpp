#include "platform/pronunciation/PhoneStates.h"

#include "platform/pronunciation/AcousticModel.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint32_t kByteOrder = 0x11223344;
// A Gaussian's variance is never taken as smaller than this, as the decoder takes it.
constexpr float kVarianceFloor = 1e-4f;
// A mixture weight is stored as −log of it in steps of 1024 units of base 1.0001.
const double kWeightStep = 1024 * std::log(1.0001);
// Densities this far (natural log) under a frame's best of the codebook add nothing that counts.
constexpr float kNegligible = 7;
constexpr int kPositions = 4;
constexpr int kContextBits = 6;  // base phones fit in this many bits

// The file's bytes read in order; any read past its end marks it broken.
class Reader {
public:
    explicit Reader(QByteArray bytes) : bytes_(std::move(bytes)) {}

    template <typename T>
    T next()
    {
        T value{};
        if (at_ + qsizetype(sizeof(T)) > bytes_.size()) {
            broken_ = true;
            return value;
        }
        std::memcpy(&value, bytes_.constData() + at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    template <typename T>
    std::vector<T> many(qsizetype count)
    {
        if (count < 0 || at_ + count * qsizetype(sizeof(T)) > bytes_.size()) {
            broken_ = true;
            return {};
        }
        std::vector<T> values(static_cast<size_t>(count));
        std::memcpy(values.data(), bytes_.constData() + at_, size_t(count) * sizeof(T));
        at_ += count * qsizetype(sizeof(T));
        return values;
    }
    QByteArray text()
    {
        const qsizetype end = bytes_.indexOf('\0', at_);
        if (end < 0) {
            broken_ = true;
            return {};
        }
        const QByteArray read = bytes_.mid(at_, end - at_);
        at_ = end + 1;
        return read;
    }
    void skip(qsizetype count)
    {
        broken_ = broken_ || count < 0 || at_ + count > bytes_.size();
        if (!broken_)
            at_ += count;
    }
    void alignTo(int bytes) { at_ = (at_ + bytes - 1) / bytes * bytes; }
    // Past the text header of the model's parameter files, and its byte order mark.
    bool skipParameterHeader()
    {
        const qsizetype end = bytes_.indexOf("endhdr\n");
        if (!bytes_.startsWith("s3\n") || end < 0)
            return false;
        at_ = end + 7;
        return next<std::uint32_t>() == kByteOrder;
    }
    bool broken() const { return broken_; }

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
    bool broken_ = false;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t contextKey(int position, int base, int left, int right)
{
    return ((std::uint32_t(position) << kContextBits | std::uint32_t(base)) << kContextBits | std::uint32_t(left))
               << kContextBits
           | std::uint32_t(right);
}

// Gaussian parameters: [codebook][stream][density][dimension].
struct Gaussians {
    int codebooks = 0, streams = 0, densities = 0;
    std::vector<float> values;
};

bool readGaussians(const QString& path, Gaussians* read)
{
    Reader reader(readAll(path));
    if (!reader.skipParameterHeader())
        return false;
    read->codebooks = reader.next<std::int32_t>();
    read->streams = reader.next<std::int32_t>();
    read->densities = reader.next<std::int32_t>();
    if (read->streams != 3 || read->densities <= 0 || read->codebooks <= 0)
        return false;
    for (const std::int32_t length : reader.many<std::int32_t>(read->streams))
        if (length != PhoneStates::kCepstra)
            return false;
    const std::int32_t count = reader.next<std::int32_t>();
    if (count != qsizetype(read->codebooks) * read->streams * read->densities * PhoneStates::kCepstra)
        return false;
    read->values = reader.many<float>(count);
    return !reader.broken();
}

}  // namespace

std::unique_ptr<PhoneStates> PhoneStates::load(const QString& folder, QString* error)
{
    std::unique_ptr<PhoneStates> model(new PhoneStates);
    const auto fail = [&](const char* file) {
        *error = QStringLiteral("英语发音模型的 %1 无法读取（%2）").arg(QString::fromLatin1(file), folder);
        return nullptr;
    };
    int transitionCount = 0;
    if (!model->readDefinition(folder + "/mdef", &transitionCount))
        return fail("mdef");
    const int bases = model->baseCount();
    Gaussians means, variances;
    // Densities are numbered in 8 bits in the mixture weights.
    if (!readGaussians(folder + "/means", &means) || means.codebooks != bases || means.densities > 256)
        return fail("means");
    if (!readGaussians(folder + "/variances", &variances) || variances.codebooks != bases
        || variances.densities != means.densities)
        return fail("variances");
    model->keepCodebooks(means.values, variances.values, means.densities);
    if (!model->readWeights(folder + "/sendump"))
        return fail("sendump");
    if (!model->readTransitions(folder + "/transition_matrices", transitionCount))
        return fail("transition_matrices");
    return model;
}

// The model definition: the base phones, every phone in context, and their senones.
bool PhoneStates::readDefinition(const QString& path, int* transitionCount)
{
    Reader definition(readAll(path));
    if (definition.next<std::uint32_t>() != 0x46444d42 /* "BMDF" */ || definition.next<std::int32_t>() != 1)
        return false;
    definition.skip(definition.next<std::int32_t>());
    const auto counts = definition.many<std::int32_t>(10);
    if (definition.broken())
        return false;
    const int bases = counts[0], phones = counts[1], states = counts[2], senones = counts[4];
    const int sequences = counts[6], treeNodes = counts[8];
    *transitionCount = counts[5];
    // Senones are numbered in 16 bits in the file.
    if (bases <= 0 || bases >= (1 << kContextBits) || phones < bases || states != kStates || senones <= 0
        || senones > 0x7fff || counts[9] < 0 || counts[9] >= bases)
        return false;
    for (int b = 0; b < bases; ++b)
        bases_ << QString::fromLatin1(definition.text());
    silence_ = counts[9];
    definition.alignTo(4);
    definition.skip(qsizetype(treeNodes) * 8);
    struct Entry {
        std::int32_t sequence, transitions;
        std::uint8_t attributes[4];
    };
    const auto entries = definition.many<Entry>(phones);
    if (definition.next<std::int32_t>() != qsizetype(sequences) * kStates)
        return false;
    const auto sequenceSenones = definition.many<std::int16_t>(qsizetype(sequences) * kStates);
    if (definition.broken())
        return false;
    senoneBase_.assign(size_t(senones), 0);
    for (int p = 0; p < phones; ++p) {
        const Entry& entry = entries[size_t(p)];
        if (entry.sequence < 0 || entry.sequence >= sequences || entry.transitions < 0
            || entry.transitions >= *transitionCount)
            return false;
        const int base = p < bases ? p : entry.attributes[1];
        Phone phone;
        phone.transitions = entry.transitions;
        for (int s = 0; s < kStates; ++s) {
            const int senone = sequenceSenones[size_t(entry.sequence * kStates + s)];
            if (senone < 0 || senone >= senones || base >= bases)
                return false;
            phone.senones[size_t(s)] = senone;
            senoneBase_[size_t(senone)] = base;
        }
        phones_.push_back(phone);
        if (p >= bases) {
            const auto* a = entry.attributes;
            if (a[0] >= kPositions || a[2] >= bases || a[3] >= bases)
                return false;
            contextPhones_.push_back({contextKey(a[0], a[1], a[2], a[3]), p});
        }
    }
    std::sort(contextPhones_.begin(), contextPhones_.end());
    return true;
}

// Each base phone's Gaussians, laid out dimension by dimension for scoring.
void PhoneStates::keepCodebooks(const std::vector<float>& means, const std::vector<float>& variances, int densities)
{
    densities_ = densities;
    const size_t streamSize = size_t(densities) * kCepstra;
    for (int c = 0; c < baseCount(); ++c) {
        Codebook book;
        book.means.resize(3 * streamSize);
        book.precisions.resize(3 * streamSize);
        book.norms.assign(size_t(3 * densities), float(-0.5 * kCepstra * std::log(2 * M_PI)));
        for (int f = 0; f < 3; ++f)
            for (int d = 0; d < densities; ++d)
                for (int k = 0; k < kCepstra; ++k) {
                    const size_t from = ((size_t(c) * 3 + size_t(f)) * size_t(densities) + size_t(d)) * kCepstra + size_t(k);
                    const size_t to = size_t(f) * streamSize + size_t(k) * size_t(densities) + size_t(d);
                    const float variance = std::max(variances[from], kVarianceFloor);
                    book.means[to] = means[from];
                    book.precisions[to] = 0.5f / variance;
                    book.norms[size_t(f * densities + d)] -= 0.5f * std::log(variance);
                }
        codebooks_.push_back(std::move(book));
    }
}

// The mixture weights, quantised; kept senone by senone.
bool PhoneStates::readWeights(const QString& path)
{
    Reader mixtures(readAll(path));
    bool clustered = true;
    for (std::int32_t length = mixtures.next<std::int32_t>(); length > 0 && !mixtures.broken();
         length = mixtures.next<std::int32_t>()) {
        const std::vector<char> line = mixtures.many<char>(length);
        if (QByteArray(line.data(), qsizetype(line.size())).startsWith("cluster_count 0"))
            clustered = false;
    }
    const int densities = densities_, senones = int(senoneBase_.size());
    if (clustered || mixtures.next<std::int32_t>() != densities || mixtures.next<std::int32_t>() != senones)
        return false;
    const auto byStream = mixtures.many<std::uint8_t>(qsizetype(3) * densities * senones);
    if (mixtures.broken())
        return false;
    weights_.resize(byStream.size());
    for (int f = 0; f < 3; ++f)
        for (int d = 0; d < densities; ++d)
            for (int s = 0; s < senones; ++s)
                weights_[(size_t(s) * 3 + size_t(f)) * size_t(densities) + size_t(d)]
                    = byStream[(size_t(f) * size_t(densities) + size_t(d)) * size_t(senones) + size_t(s)];
    for (int v = 0; v < 256; ++v)
        weightOf_[size_t(v)] = float(std::exp(-v * kWeightStep));
    return true;
}

// The transition matrices, as counts; each row made a log probability.
bool PhoneStates::readTransitions(const QString& path, int count)
{
    Reader matrices(readAll(path));
    if (!matrices.skipParameterHeader() || matrices.next<std::int32_t>() != count
        || matrices.next<std::int32_t>() != kStates || matrices.next<std::int32_t>() != kStates + 1
        || matrices.next<std::int32_t>() != qsizetype(count) * kStates * (kStates + 1))
        return false;
    const auto counted = matrices.many<float>(qsizetype(count) * kStates * (kStates + 1));
    if (matrices.broken())
        return false;
    for (int m = 0; m < count; ++m) {
        std::array<float, 12> row{};
        for (int from = 0; from < kStates; ++from) {
            const float* counts = counted.data() + (m * kStates + from) * (kStates + 1);
            float total = 0;
            for (int to = 0; to <= kStates; ++to)
                total += std::max(0.f, counts[to]);
            for (int to = 0; to <= kStates; ++to)
                row[size_t(from * 4 + to)] = counts[to] > 0 && total > 0 ? std::log(counts[to] / total)
                                                                         : -std::numeric_limits<float>::infinity();
        }
        transitions_.push_back(row);
    }
    return true;
}

const PhoneStates* PhoneStates::shared()
{
    static const std::unique_ptr<PhoneStates> model = [] {
        QString error;
        return load(AcousticModel::folder() + "/en-us", &error);
    }();
    return model.get();
}

int PhoneStates::baseId(const QString& name) const
{
    return int(bases_.indexOf(name));
}

int PhoneStates::phoneIdOf(int base, int left, int right, int position) const
{
    const std::uint32_t key = contextKey(position, base, left, right);
    const auto found = std::lower_bound(contextPhones_.begin(), contextPhones_.end(), std::make_pair(key, 0));
    return found != contextPhones_.end() && found->first == key ? found->second : -1;
}

PhoneStates::Phone PhoneStates::phone(int base, int left, int right, Position position) const
{
    // As the decoder does when the model lacks a context: the phone in
    // another place of its word, then with silence for a neighbour, then
    // the base phone alone.
    const int lefts[] = {left, silence_, left, silence_};
    const int rights[] = {right, right, silence_, silence_};
    for (int c = 0; c < 4; ++c)
        for (int p = 0; p <= kPositions; ++p) {
            const int tried = p == 0 ? position : p - 1;
            if (p > 0 && tried == position)
                continue;
            const int id = phoneIdOf(base, lefts[c], rights[c], tried);
            if (id >= 0)
                return phones_[size_t(id)];
        }
    return phones_[size_t(base)];
}

float PhoneStates::transition(int matrix, int from, int to) const
{
    return transitions_[size_t(matrix)][size_t(from * 4 + to)];
}

namespace {

// The log densities of `dimensions`-long `x` under `count` Gaussians laid
// out dimension by dimension. Cloned for processors with wider vectors:
// this loop is most of the weighing's time.
__attribute__((target_clones("arch=haswell", "default"))) void logDensities(
    const float* __restrict x, const float* __restrict means, const float* __restrict precisions,
    const float* __restrict norms, int count, float* __restrict logs)
{
    std::copy_n(norms, count, logs);
    for (int k = 0; k < PhoneStates::kCepstra; ++k) {
        const float value = x[k];
        const float* __restrict mean = means + k * count;
        const float* __restrict precision = precisions + k * count;
        for (int d = 0; d < count; ++d) {
            const float difference = value - mean[d];
            logs[d] -= difference * difference * precision[d];
        }
    }
}

}  // namespace

void PhoneStates::scoreCodebook(const float* features, int base, CodebookScore* scored) const
{
    const Codebook& book = codebooks_[size_t(base)];
    std::array<float, 256> logs;
    for (int f = 0; f < 3; ++f) {
        const size_t stream = size_t(f) * size_t(densities_) * kCepstra;
        logDensities(features + f * kCepstra, book.means.data() + stream, book.precisions.data() + stream,
                     book.norms.data() + f * densities_, densities_, logs.data());
        const float best = *std::max_element(logs.begin(), logs.begin() + densities_);
        scored->best[size_t(f)] = best;
        auto& counting = scored->counting[size_t(f)];
        counting.clear();
        counting.reserve(32);
        for (int d = 0; d < densities_; ++d)
            if (logs[size_t(d)] > best - kNegligible)
                counting.push_back({std::uint8_t(d), std::exp(logs[size_t(d)] - best)});
    }
}

float PhoneStates::senoneScore(const CodebookScore& codebook, int senone) const
{
    float total = 0;
    for (int f = 0; f < 3; ++f) {
        const std::uint8_t* weight = weights_.data() + (size_t(senone) * 3 + size_t(f)) * size_t(densities_);
        float mixed = 0;
        for (const auto& [d, likelihood] : codebook.counting[size_t(f)])
            mixed += weightOf_[weight[d]] * likelihood;
        total += codebook.best[size_t(f)] + std::log(std::max(mixed, 1e-30f));
    }
    return total;
}
