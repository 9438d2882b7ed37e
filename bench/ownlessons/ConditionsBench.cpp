// The import of own lessons as learners record them: a dialogue of two
// festival voices taking turns (prices, clock times, dates and years,
// ordinals, percentages, decimals, fractions, phone numbers, units,
// abbreviations), laid out with a dialogue's short pauses and made into a
// recording under each of a learner's conditions by sox and lame: clean,
// a room's reverb, steady noise 15 dB under the speech, a music-like bed
// 20 dB under it, a telephone's band at 8 kHz, and a 32 kbit/s MP3
// peaking at −20 dBFS. For each, the staged program imports it as a
// learner does, and its starts and word times are judged against what the
// voices tell: a table of every condition at the end.
//
// Then the clean recording changed as no listener hears (another dither,
// ±6 dB, 0.1 s more silence first), each import against the clean one's
// 6 dB down.
//
// BENCH_FOLDER=DIR keeps the recordings and readings for the next run;
// BENCH_CONDITIONS=music runs the conditions whose names hold it
// ("stability" the changed recordings);
// BENCH_DETAIL=1 names the starts outside, the named sentences and the
// words more than 50 ms off.

#include "BenchRecordings.h"
#include "ImportJudges.h"
#include "WavFiles.h"

#include "course/WordTimesFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

// Two people booking a visit to a clinic, a line each in turn. Where
// festival would not say a token as people do (it spells "km", reads "€"
// as letters), {written|said} gives the text the learner has and what the
// voice says.
const char* const kDialogue[] = {
    "Good morning, Dr. Lee's office, this is Anna speaking.",
    "Hello, I'd like to book an appointment for Tuesday, please.",
    "Of course, is 9:30 a.m. all right, or would 2:15 p.m. suit you better?",
    "Half past nine is fine, but how much is a first visit?",
    "It's $45, and a check-up after that costs $24.50.",
    "Can I pay by card, as I only have about {£20|twenty pounds} in cash?",
    "Yes, we take cards, and could I have your phone number?",
    "Sure, it's 020 7946 0018.",
    "Thank you, and your address, please?",
    "I live at 221 Baker St., on the 3rd floor.",
    "The clinic is on Green Street, about 2.5 {km|kilometres} from the station.",
    "Is there parking nearby, as it was {30°C|thirty degrees} yesterday and I'd rather drive?",
    "There's a car park for $3 an hour, or {€5|five euros} for the whole day.",
    "Great, so my appointment is on the 21st, isn't it?",
    "No, it's Tuesday, March 14th, at 9:30.",
    "Sorry, I wrote down the 4th, and when did the clinic open?",
    "We opened in 1998, and we moved here in 2015.",
    "Do I need to bring anything, like old reports, X-rays, etc.?",
    "Please bring any results from the last 6 months.",
    "My weight was 72 {kg|kilos} at my last visit, is that useful?",
    "Yes, and your blood pressure too, if you know it.",
    "It was about 120 over 80, I think.",
    "That's normal, and Mr. Brown will see you first.",
    "How long does the visit take?",
    "About three quarters of an hour, sometimes 1.5 hours.",
    "Will my insurance pay for it?",
    "Most plans pay 80%, so you pay the other 20%.",
    "And what if I'm late, say at 9:45?",
    "Please call us on 555 0142, and we'll move you to 10 o'clock.",
    "Thanks, and is the office open on Saturday?",
    "Only from 8 a.m. to noon, and it costs 1/3 more.",
    "Is it near the bus stop on St. Mary's Road?",
    "Yes, it's about 200 {m|metres} from there, a 3 minute walk.",
    "Perfect, do you need my date of birth?",
    "Yes, please: the day, the month and the year.",
    "It's the 2nd of July, 1985.",
    "Thank you, Mrs. Green, you're all set for 9:30 on Tuesday.",
    "Thank you so much, see you next week.",
    "Goodbye, and have a nice day.",
    "You too, oh, and is it 0.5 {mg|milligrams} of the medicine, twice a day?",
    "Yes, that's right, and drink 2 litres of water a day.",
};

struct Condition {
    const char* name;
    Layout layout;
};

std::vector<Condition> conditions()
{
    Layout clean;
    clean.firstPause = 0.8;
    clean.pauseFrom = 0.25;
    clean.pauseTo = 0.9;
    clean.noiseDb = -75;
    clean.seed = 9;
    Layout reverb = clean, noise = clean, music = clean, telephone = clean, download = clean;
    reverb.soxEffects = {"gain", "-3", "reverb", "50", "50", "80", "gain", "-n", "-1"};
    noise.noiseUnderSpeechDb = 15;
    music.bedUnderSpeechDb = 20;
    telephone.rate = 8000;
    telephone.soxEffects = {"sinc", "300-3400"};
    download.soxEffects = {"gain", "-n", "-20"};
    download.mp3Kbps = 32;
    return {{"clean", clean},     {"reverb", reverb},       {"noise", noise},
            {"music", music},     {"telephone", telephone}, {"mp3-32k", download}};
}

// A line's written text, what the voice says, and how many of the said
// words each written word becomes.
struct Line {
    QString written, said;
    std::vector<int> saidWords;
};

Line lineOf(const QString& marked)
{
    Line line;
    static const QRegularExpression group(QStringLiteral("\\{([^|}]*)\\|([^}]*)\\}"));
    QStringList written, said;
    // A group may hold spaces ("{£20|twenty pounds}"): it stays one token.
    static const QRegularExpression tokens(QStringLiteral("\\S*\\{[^}]*\\}\\S*|\\S+"));
    for (const QRegularExpressionMatch& each : tokens.globalMatch(marked)) {
        const QString token = each.captured();
        const QRegularExpressionMatch match = group.match(token);
        written << (match.hasMatch() ? QString(token).replace(group, match.captured(1)) : token);
        said << (match.hasMatch() ? QString(token).replace(group, match.captured(2)) : token);
        line.saidWords.push_back(int(said.back().split(' ', Qt::SkipEmptyParts).size()));
    }
    line.written = written.join(' ');
    line.said = said.join(' ');
    return line;
}

// A reading of `line.said` as the reading of its written text: each
// written word starts where its first said word does.
BenchSentence asWritten(BenchSentence reading, const Line& line)
{
    reading.text = line.written;
    if (reading.wordStarts.empty())
        return reading;
    std::vector<double> starts;
    size_t said = 0;
    for (const int words : line.saidWords) {
        if (said < reading.wordStarts.size())
            starts.push_back(reading.wordStarts[said]);
        said += size_t(words);
    }
    reading.wordStarts = starts;
    return reading;
}

// The dialogue's lines spoken by two voices in turn.
std::vector<BenchSentence> dialogue(const QString& folder)
{
    std::vector<Line> lines;
    QStringList first, second;
    for (int i = 0; i < int(std::size(kDialogue)); ++i) {
        lines.push_back(lineOf(QString::fromUtf8(kDialogue[i])));
        (i % 2 == 0 ? first : second) << lines.back().said;
    }
    const QString readings = QDir(folder).filePath("dialogue");
    QDir().mkpath(readings);
    const std::vector<BenchSentence> a = festivalSentences(first, "kal_diphone", 0.9, readings);
    const std::vector<BenchSentence> b = festivalSentences(second, "cmu_us_slt_arctic_hts", 0.9, readings);
    std::vector<BenchSentence> turns;
    for (size_t i = 0; i < a.size() + b.size(); ++i)
        turns.push_back(asWritten(i % 2 == 0 ? a[i / 2] : b[i / 2], lines[i]));
    return turns;
}

// The clean recording changed in ways no listener hears: another noise of
// the same level (dither), 6 dB quieter and louder, 0.1 s more silence
// before the first sentence (whose times then come 0.1 s later). The clean
// recording's peaks reach full scale, where 6 dB more could only be had
// through a limiter, which changes the sound; so the recording the others
// are held against is the clean one 6 dB down, and the louder one is the
// clean one itself.
struct Variant {
    const char* name;
    Layout layout;
    double shift;
};

Layout withHeadroom(const Layout& clean)
{
    Layout reference = clean;
    reference.soxEffects = {"gain", "-6"};
    return reference;
}

std::vector<Variant> variants(const Layout& clean)
{
    const Layout reference = withHeadroom(clean);
    Variant dither{"other dither", reference, 0}, quieter{"6 dB quieter", reference, 0},
        louder{"6 dB louder", clean, 0}, later{"0.1 s more silence first", reference, 0.1};
    dither.layout.noiseSeed = 77;
    quieter.layout.soxEffects = {"gain", "-12"};
    later.layout.firstPause += 0.1;
    return {dither, quieter, louder, later};
}

// How far a variant's import differs from the reference's: sentences named
// in one and not the other, starts and word times more than 10 ms apart.
void compareWithReference(const Imported& reference, const Imported& variant, double shift)
{
    int verdicts = 0, starts = 0, words = 0, wordsApart = 0;
    double most = 0;
    const QList<QByteArray> a = readFile(reference.wordTimes).split('\n'), b = readFile(variant.wordTimes).split('\n');
    for (size_t k = 0; k < reference.starts.size() && k < variant.starts.size(); ++k) {
        verdicts += reference.unsure.contains(int(k)) != variant.unsure.contains(int(k));
        starts += std::abs(variant.starts[k] - shift - reference.starts[k]) > 0.0105;
    }
    // Word lines match by sentence and characters; their times must agree.
    QHash<QByteArray, double> referenceWords;
    for (const QByteArray& line : a.mid(1)) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() >= 5)
            referenceWords.insert(f[0] + ' ' + f[3] + ' ' + f[4], f[1].toDouble());
    }
    for (const QByteArray& line : b.mid(1)) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() < 5)
            continue;
        const auto there = referenceWords.constFind(f[0] + ' ' + f[3] + ' ' + f[4]);
        if (there == referenceWords.constEnd())
            continue;
        const double apart = std::abs(f[1].toDouble() - shift - *there);
        ++words;
        wordsApart += apart > 0.0105;
        most = std::max(most, apart);
    }
    std::printf("  against the reference: %d sentences named differently, %d starts and %d of %d words more than "
                "10 ms apart (most %.0f ms)\n",
                verdicts, starts, wordsApart, words, 1000 * most);
}

struct Row {
    QString condition;
    StartsVerdict starts;
    WordsVerdict words;
    double seconds = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = benchFolder(temporary.path());
    const QString chosen = qEnvironmentVariable("BENCH_CONDITIONS");
    const std::vector<BenchSentence> turns = dialogue(folder);
    std::vector<Row> rows;
    for (const Condition& condition : conditions()) {
        if (!chosen.isEmpty() && !QString(condition.name).contains(chosen))
            continue;
        const BenchRecording recording = layOut(QString("dialogue-") + condition.name, turns, condition.layout, folder);
        const Imported imported = importWithProgram(recording, folder);
        if (!imported.ok)
            continue;
        std::printf("%s (%zu sentences): import %.1f s (CPU %.1f s), peak memory %ld MB\n", condition.name,
                    imported.starts.size(), imported.seconds, imported.cpu, imported.peakMegabytes);
        Row row{condition.name, judgeStarts(recording, imported), judgeWords(recording, imported), imported.seconds};
        rows.push_back(row);
        std::fflush(stdout);
    }
    // The same verdicts and times for recordings that sound the same.
    if (chosen.isEmpty() || QString("stability").contains(chosen)) {
        const Layout clean = conditions().front().layout;
        const Imported reference =
            importWithProgram(layOut("dialogue-stability-0", turns, withHeadroom(clean), folder), folder);
        const QString kept = QDir(folder).filePath("data-dialogue-stability-reference");
        QDir(kept).removeRecursively();
        QDir().rename(QDir(folder).filePath("data-dialogue-stability-0"), kept);
        Imported referenceImport = reference;
        referenceImport.wordTimes = kept + "/Lexbay/books/bench/tlx1001" + kWordTimesExtension;
        const std::vector<Variant> changed = variants(clean);
        for (size_t v = 0; v < changed.size(); ++v) {
            const Variant& variant = changed[v];
            const QString name = QString("dialogue-stability-%1").arg(v + 1);
            const Imported imported = importWithProgram(layOut(name, turns, variant.layout, folder), folder);
            if (!imported.ok)
                continue;
            std::printf("stability, %s: named %d\n", variant.name, int(imported.unsure.size()));
            compareWithReference(referenceImport, imported, variant.shift);
        }
    }
    std::printf("\n| condition | starts outside their pause | > 0.3 s off, not named | named | word-start mean |"
                " within 50 ms | within 100 ms | words outside their sentence | sentences not named lacking words |"
                " import |\n|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Row& r : rows)
        std::printf("| %s | %d of %d | %d | %d | %.1f ms (%d words) | %.1f %% | %.1f %% | %d | %d | %.1f s |\n",
                    qPrintable(r.condition), r.starts.outside, r.starts.sentences, r.starts.offNotNamed, r.starts.named,
                    r.words.meanMs, r.words.compared, r.words.within50, r.words.within100, r.words.outsideSpan,
                    r.words.incomplete, r.seconds);
    return 0;
}
