#include "platform/pronunciation/WordAligner.h"

#include "platform/pronunciation/EspeakPronunciation.h"
#include "platform/pronunciation/WordBoundary.h"

#include <pocketsphinx.h>
#include <sphinxbase/err.h>
#include <sphinxbase/fe.h>
#include <sphinxbase/fsg_model.h>
#include <sphinxbase/logmath.h>

#include <QFile>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kPhoneSearch = "phones";
const char* const kWordSearch = "words";
const char* const kDictionaryFile = "/cmudict-en-us.dict";
// The loud frames are the loudest this many percent; a frame holds sound
// when its first cepstrum (its energy) lies no further below theirs than
// this. Pauses in the room of a recording lie 20-50 below its speech,
// digital silence over 100.
constexpr int kLoudShare = 95;
constexpr float kSoundBelowLoud = 70;
// Free phones stand in for speech the grammar does not hold: a
// phone's probability keeps them from taking words the grammar has. Heard
// without their neighbours (see writeFillerDictionary) they fit any speech
// a little worse than with them, which their probability makes up for.
constexpr double kFreePhoneProbability = 0.05;
constexpr double kRepeatProbability = 0.05;
constexpr double kPauseProbability = 0.1;
constexpr double kNoiseProbability = 0.01;
// Two words with a pause this long between them at most (frames) are
// weighed together; a longer one is the reader's, and the words either
// side are weighed with their other neighbours.
constexpr int kWeighedPause = 30;
// A grammar that finds no way through its window with the decoder's own
// beams is searched once more with these (pruning, phone and word exit):
// under steady noise the model hears every sound about as badly, and the
// path through the words falls out of the narrow beams on the way. Only a
// failed search pays for the wider ones.
constexpr double kWideBeam = 1e-120;
constexpr double kWideWordBeam = 1e-90;
// The model's phones, each a word of the free loop ("phone_AA").
const char* const kPhones[] = {"AA", "AE", "AH", "AO", "AW", "AY", "B",  "CH", "D",  "DH", "EH", "ER", "EY",
                               "F",  "G",  "HH", "IH", "IY", "JH", "K",  "L",  "M",  "N",  "NG", "OW", "OY",
                               "P",  "R",  "S",  "SH", "T",  "TH", "UH", "UW", "V",  "W",  "Y",  "Z",  "ZH"};

QByteArray freePhoneName(const char* phone)
{
    return QByteArray("phone_") + phone;
}

// `lines` written to a temporary file the decoder reads by name.
bool writeTemporary(const QByteArray& lines, QTemporaryFile* file)
{
    return file->open() && file->write(lines) == lines.size() && file->flush();
}

// The decoder's filler words: the model's own (pauses, noises) and the free
// phones. A filler is one phone heard without its neighbours' context, so
// the free loop is as many sounds as the model has phones; as ordinary
// words each phone would be one sound for every phone before and after it,
// thousands of them, at two and a half times the cost of a frame decoded
// with words alone.
bool writeFillerDictionary(const QString& modelFillers, QTemporaryFile* file)
{
    QFile model(modelFillers);
    if (!model.open(QIODevice::ReadOnly))
        return false;
    QByteArray lines = model.readAll();
    if (!lines.endsWith('\n'))
        lines += '\n';
    for (const char* phone : kPhones)
        lines += freePhoneName(phone) + ' ' + phone + '\n';
    return writeTemporary(lines, file);
}

// The model's feature settings with no mean taken off by the decoder. The
// recording's own mean is taken off when its frames are made (see
// finishFrames); the decoder reads the model's settings after the
// program's, and the model's ask for each decoded stretch's own mean to be
// taken off as well. With the recording's mean alone a stretch is heard
// alike in any window that holds it, and word starts are placed and
// sentences verified better than with each stretch's own.
bool writeFeatureSettings(const QString& modelSettings, QTemporaryFile* file)
{
    QFile model(modelSettings);
    // A model without settings of its own has the decoder's.
    if (model.exists() && !model.open(QIODevice::ReadOnly))
        return false;
    QByteArray lines;
    for (const QByteArray& line : model.isOpen() ? model.readAll().split('\n') : QList<QByteArray>()) {
        if (line.simplified().startsWith("-cmn "))
            lines += "-cmn none\n";
        else if (!line.trimmed().isEmpty())
            lines += line + '\n';
    }
    return writeTemporary(lines, file);
}

// The dictionary's lines for the words asked: "word PH ONES" and
// "word(2) PH ONES" for a second pronunciation.
WordPronunciations dictionaryPronunciations(const QSet<QString>& wanted)
{
    WordPronunciations found;
    QFile file(AcousticModel::folder() + kDictionaryFile);
    if (!file.open(QIODevice::ReadOnly))
        return found;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const int space = int(line.indexOf(' '));
        if (space <= 0)
            continue;
        QByteArray word = line.left(space);
        if (const int paren = int(word.indexOf('(')); paren > 0)
            word.truncate(paren);
        const QString key = QString::fromUtf8(word);
        if (wanted.contains(key))
            found[key] << QString::fromLatin1(line.mid(space + 1).trimmed());
    }
    return found;
}

// The name a spoken word has in the decoder's dictionary for one place of
// one grammar: the word, the part and the written word's index, a "+" when
// it follows another spoken word of the same saying, and the
// pronunciation's number ("the@w12(2)", "dollars@w3+").
QByteArray placeName(const QString& spoken, char part, int index, bool continuing, int pronunciation)
{
    QByteArray name = spoken.toUtf8() + '@' + part + QByteArray::number(index);
    if (continuing)
        name += '+';
    if (pronunciation > 0)
        name += '(' + QByteArray::number(pronunciation + 1) + ')';
    return name;
}

// Where a decoded word belongs: its part, index and place in its saying
// from its place name ("the@w12(2)"); false for pauses, noises and free
// phones.
bool placeOf(const char* label, AlignedWord* word)
{
    const char* at = std::strrchr(label, '@');
    if (!at)
        return false;
    switch (at[1]) {
    case 'b': word->part = AlignedWord::Before; break;
    case 'w': word->part = AlignedWord::Word; break;
    case 'a': word->part = AlignedWord::After; break;
    default: return false;
    }
    char* end = nullptr;
    word->index = int(std::strtol(at + 2, &end, 10));
    word->beginsSaying = *end != '+';
    return true;
}

// Whether a decoded word is one of the sentence's own, not a neighbour's or a pause.
bool isSentenceWord(const QString& label)
{
    AlignedWord word;
    return placeOf(label.toUtf8().constData(), &word) && word.part == AlignedWord::Word;
}

}  // namespace

WordPronunciations pronunciationsOf(const QStringList& words)
{
    const QSet<QString> wanted(words.begin(), words.end());
    WordPronunciations found = dictionaryPronunciations(wanted);
    // A word the dictionary gives both with and without an h before its w
    // ("while": W AY L, HH W AY L) is heard without it: few speakers say the
    // h, and the model takes it from the end of the word before, so the
    // word began early.
    for (QStringList& ways : found) {
        QStringList said;
        for (const QString& way : ways)
            if (!(way.startsWith(QLatin1String("HH W ")) && ways.contains(way.mid(3))))
                said << way;
        ways = said;
    }
    for (const QString& word : wanted) {
        if (found.contains(word))
            continue;
        const QString phones = espeakPronunciation(word);
        if (!phones.isEmpty())
            found[word] << phones;
    }
    return found;
}

double phoneScoreOver(const std::vector<DecodedSegment>& phones, int start, int end)
{
    double score = 0;
    for (const DecodedSegment& phone : phones) {
        const int overlap = std::min(end, phone.endFrame) - std::max(start, phone.startFrame) + 1;
        if (overlap > 0)
            score += phone.acousticScore * overlap / phone.frames();
    }
    return score;
}

struct WordAligner::Decoder {
    ps_decoder_t* ps = nullptr;
    const WordPronunciations* pronunciations = nullptr;
    QSet<QByteArray> named;  // the place names already in the dictionary
    std::vector<float> pending;  // samples short of a frame
    std::vector<float> cepstra;
    bool started = false;

    ~Decoder()
    {
        if (ps)
            ps_free(ps);
    }

    // Puts the place names of one spoken word in the dictionary; false when
    // it has no pronunciation.
    bool name(const QString& spoken, char part, int index, bool continuing, std::vector<QByteArray>* names)
    {
        const auto known = pronunciations->constFind(spoken);
        if (known == pronunciations->constEnd())
            return false;
        for (int p = 0; p < known->size(); ++p) {
            const QByteArray placed = placeName(spoken, part, index, continuing, p);
            if (!named.contains(placed)) {
                if (ps_add_word(ps, placed.constData(), known->at(p).toLatin1().constData(), FALSE) < 0)
                    continue;
                named.insert(placed);
            }
            names->push_back(placed);
        }
        return !names->empty();
    }

    // The phones a decoded word was said with, from its place name; empty for pauses and free phones.
    QString phonesOf(const QString& label) const
    {
        const int at = int(label.lastIndexOf('@'));
        if (at <= 0)
            return {};
        const auto known = pronunciations->constFind(label.left(at));
        const int open = int(label.indexOf('(', at));
        const int pronunciation = open > 0 ? label.mid(open + 1).chopped(1).toInt() - 1 : 0;
        return known == pronunciations->constEnd() ? QString() : known->value(pronunciation);
    }

    // Each join of two words, touching or with a short pause between them,
    // within the sentence's words or at their edges, moved to where the
    // model weighs it most likely over all the ways the two words may share
    // the frames.
    void weighJoins(const ModelFrames& frames, std::vector<DecodedSegment>* segments) const
    {
        const PhoneStates* model = PhoneStates::shared();
        if (!model)
            return;
        FrameScores scores(*model, frames);
        for (size_t s = 0; s + 1 < segments->size(); ++s) {
            DecodedSegment& before = (*segments)[s];
            const bool paused = (*segments)[s + 1].label == QLatin1String("<sil>") && s + 2 < segments->size();
            DecodedSegment& after = (*segments)[s + (paused ? 2 : 1)];
            if (!(isSentenceWord(before.label) || isSentenceWord(after.label))
                || after.startFrame - before.endFrame - 1 > kWeighedPause)
                continue;
            const QString first = phonesOf(before.label), second = phonesOf(after.label);
            if (first.isEmpty() || second.isEmpty())
                continue;
            const WordJoin join = likelyJoin(scores, first, second,
                                             {before.startFrame, before.endFrame + 1, after.startFrame,
                                              after.endFrame + 1});
            before.endFrame = join.firstEnd - 1;
            after.startFrame = join.secondStart;
            if (paused) {
                (*segments)[s + 1].startFrame = join.firstEnd;
                (*segments)[s + 1].endFrame = join.secondStart - 1;
            }
        }
    }
};

WordAligner::WordAligner(Decoder* decoder) : decoder_(decoder) {}

WordAligner::~WordAligner() = default;

std::unique_ptr<WordAligner> WordAligner::create(const WordPronunciations& pronunciations, QString* error)
{
    const QString folder = AcousticModel::folder();
    if (!QFile::exists(folder + "/en-us/mdef")) {
        *error = QStringLiteral("没有找到英语发音模型（%1）").arg(folder);
        return nullptr;
    }
    err_set_logfp(nullptr);
    const QByteArray hmm = (folder + "/en-us").toUtf8();
    QTemporaryFile fillers;
    QTemporaryFile features;
    if (!writeFillerDictionary(folder + "/en-us/noisedict", &fillers)
        || !writeFeatureSettings(folder + "/en-us/feat.params", &features)) {
        *error = QStringLiteral("英语发音模型（%1）无法读取").arg(folder);
        return nullptr;
    }
    const QByteArray fillerPath = QFile::encodeName(fillers.fileName());
    const QByteArray featuresPath = QFile::encodeName(features.fileName());
    // The words of each grammar come into an empty dictionary as they are
    // needed. The cepstral mean is the whole recording's alone, taken off in
    // finishFrames (see writeFeatureSettings); the best path is the decoder's own
    // (no lattice), and alternative pronunciations are the grammar's. The
    // decoder's own beams: wider ones cost a tenth more time and found
    // the same words. The free phones are fillers, each one sound.
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-dict", "/dev/null",
                                   "-fdict", fillerPath.constData(), "-logfn", "/dev/null", "-allphone_ci", "yes",
                                   "-cmn", "none", "-remove_noise", "no", "-remove_silence", "no", "-bestpath", "no",
                                   "-fsgusealtpron", "no", "-fsgusefiller", "no", nullptr);
    // Each frame's densities are scored from the best three of each of the
    // model's codebooks, not four: a sixth less time for the whole import,
    // and as many sentences verified and named (the best two named three
    // times as many). Narrower beams than the decoder's own named more.
    if (config) {
        cmd_ln_set_str_r(config, "-featparams", featuresPath.constData());
        cmd_ln_set_int32_r(config, "-topn", 3);
    }
    ps_decoder_t* ps = config ? ps_init(config) : nullptr;
    if (config)
        cmd_ln_free_r(config);
    if (!ps || ps_set_allphone(ps, kPhoneSearch, nullptr) < 0) {
        if (ps)
            ps_free(ps);
        *error = QStringLiteral("英语发音模型（%1）无法读取").arg(folder);
        return nullptr;
    }
    auto* decoder = new Decoder;
    decoder->ps = ps;
    decoder->pronunciations = &pronunciations;
    for (const char* phone : kPhones)
        decoder->named.insert(freePhoneName(phone));
    return std::unique_ptr<WordAligner>(new WordAligner(decoder));
}

void WordAligner::feed(const float* samples, size_t count)
{
    fe_t* fe = ps_get_fe(decoder_->ps);
    if (!decoder_->started) {
        fe_start_utt(fe);
        decoder_->started = true;
    }
    std::vector<int16> pcm(count);
    std::transform(samples, samples + count, pcm.begin(),
                   [](float s) { return int16(std::lround(std::clamp(s, -1.f, 1.f) * 32767)); });
    const int16* at = pcm.data();
    size_t left = count;
    mfcc_t frame[ModelFrames::kCepstra];
    mfcc_t* rows[1] = {frame};
    while (left > 0) {
        int32 made = 1;
        if (fe_process_frames(fe, &at, &left, rows, &made, nullptr) < 0)
            break;
        if (made == 0)
            break;
        decoder_->cepstra.insert(decoder_->cepstra.end(), frame, frame + ModelFrames::kCepstra);
    }
}

void WordAligner::reserve(double seconds)
{
    decoder_->cepstra.reserve(size_t(std::max(0.0, seconds) * 100 + 1) * ModelFrames::kCepstra);
}

ModelFrames WordAligner::finishFrames()
{
    ModelFrames frames;
    frames.cepstra = std::move(decoder_->cepstra);
    decoder_->cepstra.clear();
    decoder_->started = false;
    const int count = frames.frames();
    if (count == 0)
        return frames;
    // The mean of the frames that hold sound: frames far below the loud ones
    // (digital silence between the sentences) hold nothing the model heard,
    // and would draw the mean of every other frame towards them.
    std::vector<float> energy(static_cast<size_t>(count));
    for (int t = 0; t < count; ++t)
        energy[size_t(t)] = frames.cepstra[size_t(t * ModelFrames::kCepstra)];
    std::nth_element(energy.begin(), energy.begin() + count * kLoudShare / 100, energy.end());
    const float soundFrom = energy[size_t(count * kLoudShare / 100)] - kSoundBelowLoud;
    double mean[ModelFrames::kCepstra] = {};
    int sounding = 0;
    for (int t = 0; t < count; ++t) {
        const float* frame = frames.cepstra.data() + size_t(t * ModelFrames::kCepstra);
        if (frame[0] < soundFrom)
            continue;
        ++sounding;
        for (int k = 0; k < ModelFrames::kCepstra; ++k)
            mean[k] += frame[k];
    }
    for (int t = 0; t < count; ++t)
        for (int k = 0; k < ModelFrames::kCepstra; ++k)
            frames.cepstra[size_t(t * ModelFrames::kCepstra + k)] -= float(mean[k] / sounding);
    return frames;
}

namespace {

// Frames [from, to) through an utterance already started on the decoder's
// search: what it found, in the recording's frames. The decoder may write
// into the rows it is given (with the model's feature settings as they
// come, it takes the stretch's own mean off them in place), so it gets a
// copy: the recording's frames stay as they were for the next stretch and
// for the other decoders, whatever settings the decoder was given.
std::vector<DecodedSegment> decodeStarted(ps_decoder_t* ps, const ModelFrames& frames, int from, int to)
{
    const auto first = frames.cepstra.begin() + ptrdiff_t(from) * ModelFrames::kCepstra;
    std::vector<mfcc_t> stretch(first, first + ptrdiff_t(to - from) * ModelFrames::kCepstra);
    std::vector<mfcc_t*> rows;
    rows.reserve(size_t(to - from));
    for (size_t at = 0; at < stretch.size(); at += ModelFrames::kCepstra)
        rows.push_back(stretch.data() + at);
    ps_process_cep(ps, rows.data(), int(rows.size()), FALSE, TRUE);
    ps_end_utt(ps);
    std::vector<DecodedSegment> segments;
    for (ps_seg_t* seg = ps_seg_iter(ps); seg; seg = ps_seg_next(seg)) {
        DecodedSegment segment;
        segment.label = QString::fromUtf8(ps_seg_word(seg));
        ps_seg_frames(seg, &segment.startFrame, &segment.endFrame);
        segment.startFrame += from;
        segment.endFrame += from;
        int32 acoustic = 0, language = 0, backoff = 0;
        ps_seg_prob(seg, &acoustic, &language, &backoff);
        segment.acousticScore = acoustic;
        segments.push_back(segment);
    }
    return segments;
}

// The grammar's search over frames [from, to): the way through it that was
// found, or nothing when none reached its end; with the wide beams when
// `wide`, else the decoder's own. The beams are read when a search is made,
// so the wide ones are set for this one and the decoder's own put back after.
std::vector<DecodedSegment> decodeGrammar(ps_decoder_t* ps, fsg_model_t* fsg, const ModelFrames& frames, int from,
                                          int to, bool wide)
{
    cmd_ln_t* config = ps_get_config(ps);
    const char* const beams[] = {"-beam", "-pbeam", "-wbeam"};
    const double wideBeams[] = {kWideBeam, kWideBeam, kWideWordBeam};
    double own[3];
    for (int i = 0; i < 3; ++i) {
        own[i] = cmd_ln_float64_r(config, beams[i]);
        if (wide)
            cmd_ln_set_float64_r(config, beams[i], wideBeams[i]);
    }
    const int set = ps_set_fsg(ps, kWordSearch, fsg);
    for (int i = 0; i < 3; ++i)
        cmd_ln_set_float64_r(config, beams[i], own[i]);
    if (set < 0 || ps_set_search(ps, kWordSearch) < 0 || ps_start_utt(ps) < 0)
        return {};
    return decodeStarted(ps, frames, from, to);
}

// The states and arcs of a grammar, its words by name.
struct GrammarGraph {
    struct Arc {
        int from, to;
        double probability;
        std::vector<QByteArray> words;  // one arc each
    };
    int states = 0;
    std::vector<Arc> arcs;
    std::vector<std::pair<int, int>> nulls;

    int newState() { return states++; }
};

}  // namespace

WordDecoding WordAligner::decodeWords(const ModelFrames& frames, int from, int to, const WordGrammar& grammar)
{
    WordDecoding decoding;
    ps_decoder_t* ps = decoder_->ps;
    from = std::clamp(from, 0, frames.frames());
    to = std::clamp(to, from, frames.frames());
    if (to - from < 10 || grammar.words.empty())
        return decoding;
    GrammarGraph graph;
    const int start = graph.newState();

    // One written word from state `at` to `to`: each saying a chain of spoken words.
    auto addSaid = [&](const SaidWord& said, char part, int index, int at, int to, double probability) {
        bool any = false;
        for (const QString& saying : said) {
            const QStringList spoken = saying.split(' ', Qt::SkipEmptyParts);
            std::vector<std::vector<QByteArray>> names(size_t(spoken.size()));
            bool named = !spoken.isEmpty();
            for (int w = 0; w < spoken.size() && named; ++w)
                named = decoder_->name(spoken[w], part, index, w > 0, &names[size_t(w)]);
            if (!named)
                continue;
            int state = at;
            for (size_t w = 0; w < names.size(); ++w) {
                const int next = w + 1 == names.size() ? to : graph.newState();
                graph.arcs.push_back({state, next, w == 0 ? probability : 1.0, names[w]});
                state = next;
            }
            any = true;
        }
        return any;
    };

    // Any last part of the words before.
    int at = start;
    for (size_t i = 0; i < grammar.before.size(); ++i) {
        const int next = graph.newState();
        if (!addSaid(grammar.before[i], 'b', int(i), at, next, 1.0))
            graph.nulls.push_back({at, next});
        if (!grammar.wholeBefore)
            graph.nulls.push_back({start, next});
        at = next;
    }
    // The words themselves, each possibly said again.
    for (size_t i = 0; i < grammar.words.size(); ++i) {
        const int next = graph.newState();
        if (addSaid(grammar.words[i], 'w', int(i), at, next, 1.0))
            addSaid(grammar.words[i], 'w', int(i), next, next, kRepeatProbability);
        else
            graph.nulls.push_back({at, next});
        at = next;
    }
    // Any first part of the words after, then free phones: they end where
    // the grammar does, in a state of their own before the final one.
    const int tail = graph.newState();
    graph.nulls.push_back({at, tail});
    for (size_t i = 0; i < grammar.after.size(); ++i) {
        const int next = graph.newState();
        if (!addSaid(grammar.after[i], 'a', int(i), at, next, 1.0))
            graph.nulls.push_back({at, next});
        graph.nulls.push_back({next, tail});
        at = next;
    }
    const int final = graph.newState();
    graph.nulls.push_back({tail, final});
    if (grammar.freeEdges) {
        std::vector<QByteArray> phones;
        for (const char* phone : kPhones)
            phones.push_back(freePhoneName(phone));
        // Words before that come first, whole, were found where the stretch
        // begins: free phones before them have nothing to stand for, and
        // the loop costs most of a decoding's time (all of the model's
        // sounds scored in every frame).
        if (!grammar.wholeBefore)
            graph.arcs.push_back({start, start, kFreePhoneProbability, phones});
        graph.arcs.push_back({tail, tail, kFreePhoneProbability, phones});
    }

    // The decoder's graph: pauses and noises allowed in every state.
    logmath_t* logmath = ps_get_logmath(ps);
    const float weight = cmd_ln_float32_r(ps_get_config(ps), "-lw");
    const auto logOf = [&](double p) { return int32(logmath_log(logmath, p) * weight); };
    fsg_model_t* fsg = fsg_model_init(kWordSearch, logmath, weight, graph.states);
    fsg->start_state = start;
    fsg->final_state = final;
    for (const GrammarGraph::Arc& arc : graph.arcs)
        for (const QByteArray& word : arc.words)
            fsg_model_trans_add(fsg, arc.from, arc.to, logOf(arc.probability),
                                fsg_model_word_add(fsg, word.constData()));
    for (const auto& [a, b] : graph.nulls)
        fsg_model_null_trans_add(fsg, a, b, 0);
    glist_free(fsg_model_null_trans_closure(fsg, nullptr));
    fsg_model_add_silence(fsg, "<sil>", -1, float32(kPauseProbability));
    fsg_model_add_silence(fsg, "[NOISE]", -1, float32(kNoiseProbability));
    std::vector<DecodedSegment> segments = decodeGrammar(ps, fsg, frames, from, to, false);
    if (segments.empty())
        segments = decodeGrammar(ps, fsg, frames, from, to, true);
    fsg_model_free(fsg);
    const std::vector<DecodedSegment> scored = segments;
    decoder_->weighJoins(frames, &segments);
    for (size_t s = 0; s < segments.size(); ++s) {
        const DecodedSegment& segment = segments[s];
        decoding.complete = true;
        AlignedWord word;
        if (!placeOf(segment.label.toUtf8().constData(), &word))
            continue;
        word.startFrame = segment.startFrame;
        word.endFrame = segment.endFrame;
        word.scoredStart = scored[s].startFrame;
        word.scoredEnd = scored[s].endFrame;
        word.acousticScore = segment.acousticScore;
        decoding.words.push_back(word);
    }
    return decoding;
}

std::vector<DecodedSegment> WordAligner::decodePhones(const ModelFrames& frames, int from, int to)
{
    std::vector<DecodedSegment> phones;
    ps_decoder_t* ps = decoder_->ps;
    from = std::clamp(from, 0, frames.frames());
    to = std::clamp(to, from, frames.frames());
    if (to - from < 5 || ps_set_search(ps, kPhoneSearch) < 0 || ps_start_utt(ps) < 0)
        return phones;
    return decodeStarted(ps, frames, from, to);
}
