#include "dictionary/EntryText.h"

namespace {

QString nameOf(const QString& code, const QList<QPair<QString, QString>>& names)
{
    for (const auto& [c, name] : names) {
        if (c == code)
            return name;
    }
    return {};
}

const QList<QPair<QString, QString>>& formNames()
{
    static const QList<QPair<QString, QString>> names = {
        {"p", "过去式"}, {"d", "过去分词"}, {"i", "现在分词"}, {"3", "第三人称单数"},
        {"r", "比较级"}, {"t", "最高级"},   {"s", "复数"},
    };
    return names;
}

}  // namespace

QString examTagNames(const QStringList& tags)
{
    static const QList<QPair<QString, QString>> names = {
        {"zk", "中考"}, {"gk", "高考"},     {"cet4", "四级"}, {"cet6", "六级"},
        {"ky", "考研"}, {"toefl", "托福"}, {"ielts", "雅思"}, {"gre", "GRE"},
    };
    QStringList shown;
    for (const auto& [code, name] : names) {
        if (tags.contains(code))
            shown << name;
    }
    return shown.join(' ');
}

QString collinsStars(int stars)
{
    if (stars <= 0)
        return {};
    stars = std::min(stars, 5);
    return QString(stars, QChar(0x2605)) + QString(5 - stars, QChar(0x2606));
}

QString frequencyBand(const DictionaryEntry& entry)
{
    int rank = 0;
    for (int r : {entry.frq, entry.bnc}) {
        if (r > 0 && (rank == 0 || r < rank))
            rank = r;
    }
    if (rank == 0)
        return {};
    for (int band : {1000, 3000, 5000, 10000, 20000}) {
        if (rank <= band)
            return QString("最常用的 %1 词").arg(band);
    }
    return "较少见";
}

QString formKindNames(const QString& kinds)
{
    QStringList names;
    for (QChar kind : kinds) {
        if (const QString name = nameOf(kind, formNames()); !name.isEmpty())
            names << name;
    }
    return names.join("、");
}

QStringList inflections(const DictionaryEntry& entry)
{
    QStringList forms;
    for (const QString& item : entry.exchange.split('/', Qt::SkipEmptyParts)) {
        const QString kind = item.section(':', 0, 0);
        const QString form = item.section(':', 1);
        if (const QString name = nameOf(kind, formNames()); !name.isEmpty() && !form.isEmpty())
            forms << name + " " + form;
    }
    return forms;
}

QString entryMarks(const DictionaryEntry& entry)
{
    QStringList marks;
    if (entry.collins > 0)
        marks << "柯林斯 " + collinsStars(entry.collins);
    if (entry.oxford)
        marks << "牛津 3000";
    if (const QString exams = examTagNames(entry.tags); !exams.isEmpty())
        marks << exams;
    if (const QString band = frequencyBand(entry); !band.isEmpty())
        marks << band;
    return marks.join(" · ");
}

QString notFoundText(const WordLookup& lookup)
{
    switch (lookup.kind) {
    case WordLookup::Kind::Number:
        return QString("“%1”是数字，词典不收").arg(lookup.word);
    case WordLookup::Kind::NotEnglish:
        return "这里没有英文单词";
    case WordLookup::Kind::Unreadable:
        return "词典无法读取：" + lookup.problem;
    case WordLookup::Kind::Word:
        break;
    }
    if (!lookup.word.isEmpty() && lookup.word.at(0).isUpper())
        return QString("词典里没有“%1”（可能是人名或地名）").arg(lookup.word);
    return QString("词典里没有“%1”").arg(lookup.word);
}

QString lookupText(const WordLookup& lookup)
{
    if (!lookup.found())
        return notFoundText(lookup) + "\n";
    QString text;
    for (const FoundEntry& found : lookup.entries) {
        const DictionaryEntry& e = found.entry;
        if (!text.isEmpty())
            text += "\n";
        text += e.word;
        if (!e.phonetic.isEmpty())
            text += "  /" + e.phonetic + "/";
        if (!found.form.isEmpty())
            text += QString("  ← %1（%2）").arg(found.form, formKindNames(found.formKinds));
        text += "\n";
        for (const QString& meaning : e.meanings)
            text += "  " + meaning + "\n";
        if (const QStringList forms = inflections(e); !forms.isEmpty())
            text += "  变形：" + forms.join("，") + "\n";
        if (const QString marks = entryMarks(e); !marks.isEmpty())
            text += "  " + marks + "\n";
    }
    return text;
}
