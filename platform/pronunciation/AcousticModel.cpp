#include "platform/pronunciation/AcousticModel.h"

#include <pocketsphinx.h>
#include <sphinxbase/err.h>

#include <QFileInfo>

#include <mutex>

namespace {

const char* const kWordSearch = "words";
const char* const kPhoneSearch = "phones";

// Where the model lives: LEXBAY_PRONUNCIATION_MODEL when set (a folder
// laid out as Debian's), else where Debian's package installs it.
QString modelFolder()
{
    const QString chosen = qEnvironmentVariable("LEXBAY_PRONUNCIATION_MODEL");
    return chosen.isEmpty() ? QStringLiteral(LEXBAY_POCKETSPHINX_MODEL_DIR "/en-us") : chosen;
}

QString g_unavailableReason;

// The grammar: every word in order, each optionally said again (and, when
// skippable, optional); the decoder itself lets pauses and breaths in
// between.
QString grammarFor(const QStringList& words, bool skippable)
{
    QString rule;
    for (const QString& word : words)
        rule += (skippable ? QStringLiteral(" [%1 [%1]]") : QStringLiteral(" %1 [%1]")).arg(word);
    return QStringLiteral("#JSGF V1.0;\ngrammar sentence;\npublic <sentence> =%1 ;\n").arg(rule);
}

// A decoder's word for an alternative pronunciation ends in "(2)": the word
// is the same.
QString baseWord(const char* label)
{
    QString word = QString::fromUtf8(label);
    const int paren = word.indexOf('(');
    return paren > 0 ? word.left(paren) : word;
}

}  // namespace

struct AcousticModel::Decoder {
    ps_decoder_t* ps = nullptr;
    std::mutex mutex;
};

AcousticModel::AcousticModel(Decoder* decoder) : decoder_(decoder) {}

AcousticModel* AcousticModel::shared()
{
    static AcousticModel* model = []() -> AcousticModel* {
        const QString folder = AcousticModel::folder();
        const QString hmm = folder + "/en-us";
        const QString dict = folder + "/cmudict-en-us.dict";
        if (!QFileInfo(hmm + "/mdef").isFile() || !QFileInfo(dict).isFile()) {
            g_unavailableReason = QStringLiteral("没有找到英语发音模型（%1），发音评分不可用").arg(folder);
            return nullptr;
        }
        err_set_logfp(nullptr);
        const QByteArray hmmPath = hmm.toUtf8(), dictPath = dict.toUtf8();
        // The free phones are context-independent: a loop over every
        // context-dependent phone keeps thousands of paths a frame and takes
        // seconds and gigabytes. Each take is decoded twice and the two must
        // see the same frames whatever was decoded before: so the cepstral
        // mean is the take's own (not carried over from the last one), and
        // no frames are dropped as silence nor changed by a noise estimate
        // that also carries over.
        cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmmPath.constData(), "-dict",
                                       dictPath.constData(), "-logfn", "/dev/null", "-allphone_ci", "yes",
                                       "-cmn", "batch", "-remove_noise", "no", "-remove_silence", "no", nullptr);
        ps_decoder_t* ps = config ? ps_init(config) : nullptr;
        if (config)
            cmd_ln_free_r(config);
        if (!ps || ps_set_allphone(ps, kPhoneSearch, nullptr) < 0) {
            g_unavailableReason = QStringLiteral("英语发音模型（%1）无法读取，发音评分不可用").arg(folder);
            if (ps)
                ps_free(ps);
            return nullptr;
        }
        auto* decoder = new Decoder;
        decoder->ps = ps;
        return new AcousticModel(decoder);
    }();
    return model;
}

QString AcousticModel::folder()
{
    return modelFolder();
}

QString AcousticModel::unavailableReason()
{
    shared();
    return g_unavailableReason;
}

bool AcousticModel::knowsWord(const QString& word)
{
    std::lock_guard lock(decoder_->mutex);
    char* phones = ps_lookup_word(decoder_->ps, word.toUtf8().constData());
    const bool known = phones != nullptr;
    ckd_free(phones);
    return known;
}

bool AcousticModel::ensureWord(const QString& word, const QString& phones)
{
    std::lock_guard lock(decoder_->mutex);
    const QByteArray utf8 = word.toUtf8();
    char* known = ps_lookup_word(decoder_->ps, utf8.constData());
    if (known) {
        ckd_free(known);
        return true;
    }
    if (phones.isEmpty())
        return false;
    // Added without rebuilding the current search: the grammar is set anew
    // for every take anyway.
    return ps_add_word(decoder_->ps, utf8.constData(), phones.toLatin1().constData(), FALSE) >= 0;
}

Decoding AcousticModel::decodeWords(const std::vector<short>& samples, const QStringList& words, bool skippable)
{
    std::lock_guard lock(decoder_->mutex);
    const QByteArray grammar = grammarFor(words, skippable).toUtf8();
    if (ps_set_jsgf_string(decoder_->ps, kWordSearch, grammar.constData()) < 0)
        return {{}, QStringLiteral("句子的语法无法建立")};
    return decode(kWordSearch, samples);
}

Decoding AcousticModel::decodePhones(const std::vector<short>& samples)
{
    std::lock_guard lock(decoder_->mutex);
    return decode(kPhoneSearch, samples);
}

// Runs one search over the whole take; the caller holds the lock.
Decoding AcousticModel::decode(const char* search, const std::vector<short>& samples)
{
    ps_decoder_t* ps = decoder_->ps;
    if (ps_set_search(ps, search) < 0 || ps_start_utt(ps) < 0)
        return {{}, QStringLiteral("解码器无法开始")};
    ps_process_raw(ps, samples.data(), samples.size(), FALSE, TRUE);
    ps_end_utt(ps);
    Decoding decoding;
    for (ps_seg_t* seg = ps_seg_iter(ps); seg; seg = ps_seg_next(seg)) {
        DecodedSegment segment;
        segment.label = baseWord(ps_seg_word(seg));
        ps_seg_frames(seg, &segment.startFrame, &segment.endFrame);
        int32 ascr = 0, lscr = 0, lback = 0;
        ps_seg_prob(seg, &ascr, &lscr, &lback);
        segment.acousticScore = ascr;
        decoding.segments.push_back(segment);
    }
    return decoding;
}
