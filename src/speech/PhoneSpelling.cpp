#include "speech/PhoneSpelling.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

namespace {

// espeak-ng's English phonemes (stress marks and length marks stripped
// where they make no difference to the model) and their ARPAbet.
const QHash<QString, QString>& EspeakPhonemes()
{
    static const QHash<QString, QString> table = {
        {"a", "AE"},      {"aa", "AA"},     {"a#", "AH"},    {"A:", "AA"},     {"A@", "AA R"},  {"aI", "AY"},
        {"aI@", "AY ER"}, {"aI3", "AY ER"}, {"aU", "AW"},    {"aU@", "AW ER"}, {"@", "AH"},     {"@2", "AH"},
        {"@5", "AH"},     {"@L", "AH L"},   {"@r", "ER"},    {"3", "ER"},      {"3:", "ER"},    {"E", "EH"},
        {"E2", "EH"},     {"e@", "EH R"},   {"eI", "EY"},    {"i", "IY"},      {"i:", "IY"},    {"i@", "IH R"},
        {"i@3", "IH R"},  {"I", "IH"},      {"I2", "IH"},    {"I#", "IH"},     {"0", "AA"},     {"O", "AO"},
        {"O:", "AO"},     {"O@", "AO R"},   {"o@", "AO R"},  {"oU", "OW"},     {"OI", "OY"},    {"U", "UH"},
        {"U@", "UH R"},   {"u:", "UW"},     {"V", "AH"},     {"b", "B"},       {"d", "D"},      {"D", "DH"},
        {"dZ", "JH"},     {"f", "F"},       {"g", "G"},      {"h", "HH"},      {"j", "Y"},      {"k", "K"},
        {"l", "L"},       {"m", "M"},       {"n", "N"},      {"N", "NG"},      {"p", "P"},      {"r", "R"},
        {"r-", "R"},      {"s", "S"},       {"S", "SH"},     {"t", "T"},       {"t#", "T"},     {"T", "TH"},
        {"tS", "CH"},     {"v", "V"},       {"w", "W"},      {"x", "K"},       {"z", "Z"},      {"Z", "ZH"},
        {"n-", "N"},      {"l-", "L"},      {"m-", "M"},
    };
    return table;
}

} // namespace

QString EspeakToArpabet(const QString& mnemonics)
{
    QStringList phones;
    for (QString p : mnemonics.split(QRegularExpression(QStringLiteral("[_\\s]+")), Qt::SkipEmptyParts)) {
        p.remove(QLatin1Char('\'')).remove(QLatin1Char(',')).remove(QLatin1Char('%')).remove(QLatin1Char('='));
        if (p.isEmpty())
            continue;
        const auto& table = EspeakPhonemes();
        auto it = table.find(p);
        // Unknown variants ("a2", "I3") fall back to their base phoneme.
        for (QString base = p; it == table.end() && base.size() > 1;) {
            base.chop(1);
            it = table.find(base);
        }
        if (it != table.end())
            phones << *it;
    }
    return phones.join(QLatin1Char(' '));
}

QString SpellingPhones(const QString& word)
{
    static const QList<QPair<QString, QString>> kRules = {
        {"tch", "CH"}, {"sh", "SH"}, {"ch", "CH"}, {"th", "TH"}, {"ph", "F"},  {"ng", "NG"}, {"ck", "K"},
        {"qu", "K W"}, {"wh", "W"},  {"ee", "IY"}, {"ea", "IY"}, {"oo", "UW"}, {"ou", "AW"}, {"ow", "OW"},
        {"ai", "EY"},  {"ay", "EY"}, {"oi", "OY"}, {"oy", "OY"}, {"ie", "IY"}, {"ei", "EY"}, {"au", "AO"},
        {"a", "AE"},   {"b", "B"},   {"c", "K"},   {"d", "D"},   {"e", "EH"},  {"f", "F"},   {"g", "G"},
        {"h", "HH"},   {"i", "IH"},  {"j", "JH"},  {"k", "K"},   {"l", "L"},   {"m", "M"},   {"n", "N"},
        {"o", "AA"},   {"p", "P"},   {"q", "K"},   {"r", "R"},   {"s", "S"},   {"t", "T"},   {"u", "AH"},
        {"v", "V"},    {"w", "W"},   {"x", "K S"}, {"y", "Y"},   {"z", "Z"},
    };
    const QString lower = word.toLower();
    QStringList phones;
    for (qsizetype i = 0; i < lower.size();) {
        bool matched = false;
        for (const auto& [letters, sound] : kRules) {
            if (QStringView(lower).mid(i).startsWith(letters)) {
                // A doubled consonant is one sound; a final silent e is none.
                const bool silentE = letters == u"e" && i == lower.size() - 1 && i > 1;
                if (!silentE && !(phones.size() && phones.last() == sound && letters.size() == 1))
                    phones << sound;
                i += letters.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            ++i;
    }
    return phones.join(QLatin1Char(' '));
}

QString GuessedPhones(const QString& word, const QString& espeak)
{
    QProcess process;
    // The word goes through stdin so nothing in it can be taken for an option.
    process.start(espeak, {QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-x"),
                           QStringLiteral("--sep=_"), QStringLiteral("--stdin")});
    if (process.waitForStarted(10000)) {
        process.write(word.toUtf8());
        process.closeWriteChannel();
        if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) {
            const QString phones = EspeakToArpabet(QString::fromUtf8(process.readAllStandardOutput()));
            if (!phones.isEmpty())
                return phones;
        }
        process.kill();
        process.waitForFinished();
    }
    return SpellingPhones(word);
}

QString ArpabetToIpa(const QString& phones)
{
    static const QHash<QString, QString> kIpa = {
        {"AA", "ɑː"}, {"AE", "æ"},  {"AH", "ʌ"},  {"AO", "ɔː"}, {"AW", "aʊ"}, {"AY", "aɪ"}, {"B", "b"},
        {"CH", "tʃ"}, {"D", "d"},   {"DH", "ð"},  {"EH", "e"},  {"ER", "ɜː"}, {"EY", "eɪ"}, {"F", "f"},
        {"G", "ɡ"},   {"HH", "h"},  {"IH", "ɪ"},  {"IY", "iː"}, {"JH", "dʒ"}, {"K", "k"},   {"L", "l"},
        {"M", "m"},   {"N", "n"},   {"NG", "ŋ"},  {"OW", "əʊ"}, {"OY", "ɔɪ"}, {"P", "p"},   {"R", "r"},
        {"S", "s"},   {"SH", "ʃ"},  {"T", "t"},   {"TH", "θ"},  {"UH", "ʊ"},  {"UW", "uː"}, {"V", "v"},
        {"W", "w"},   {"Y", "j"},   {"Z", "z"},   {"ZH", "ʒ"},
    };
    static const QStringList kVowels = {"AA", "AE", "AH", "AO", "AW", "AY", "EH", "ER", "EY",
                                        "IH", "IY", "OW", "OY", "UH", "UW"};
    QStringList list = phones.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& p : list) {
        while (!p.isEmpty() && p.back().isDigit())
            p.chop(1);
    }
    // The dictionary marks no stress: in a longer word "AH" is most often
    // the weak vowel.
    const auto vowels = std::count_if(list.begin(), list.end(), [](const QString& p) { return kVowels.contains(p); });
    QString out;
    for (const QString& p : list)
        out += p == u"AH" && vowels > 1 ? QStringLiteral("ə") : kIpa.value(p);
    return out;
}
