#include "data/WordAlignment.h"

#include <algorithm>
#include <vector>

namespace {

// A learner's paste can be any size; beyond this many letter pairs the
// alignment is skipped rather than allocate without bound.
constexpr qint64 kMaxCells = 2'000'000;

struct Letter {
    char16_t letter;  // upper-case A-Z
    int word;         // index of its blank-separated word
};

// The letters A-Z of `text`, upper-cased, each with the index of its word;
// `spans` (when given) receives the words that have letters, in that order.
std::vector<Letter> Letters(const QString& text, QList<TextSpan>* spans)
{
    std::vector<Letter> letters;
    int words = 0;
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n) {
        while (i < n && text.at(i).isSpace())
            ++i;
        const int start = i;
        const std::size_t before = letters.size();
        for (; i < n && !text.at(i).isSpace(); ++i) {
            const char16_t u = text.at(i).unicode();
            if (u >= u'a' && u <= u'z')
                letters.push_back({char16_t(u - u'a' + u'A'), words});
            else if (u >= u'A' && u <= u'Z')
                letters.push_back({u, words});
        }
        if (letters.size() > before) {
            if (spans)
                spans->append({start, i - start});
            ++words;
        }
    }
    return letters;
}

// Which letters of `e` and `g` pair up: as many as possible, and of those
// alignments the one with the most pairs that follow each other in both
// texts, so that a word typed right stays in one piece. -1 for unpaired.
struct Pairing {
    std::vector<int> ofExpected;  // index into g
    std::vector<int> ofGiven;     // index into e
};

Pairing Pair(const std::vector<Letter>& e, const std::vector<Letter>& g)
{
    const std::size_t n = e.size();
    const std::size_t m = g.size();
    const std::size_t cols = m + 1;
    // best[p][i * cols + j]: the best score of e[i..] against g[j..] when
    // e[i - 1] and g[j - 1] were paired (p = 1) or not (p = 0). A pair is
    // worth more than all follow-ons together.
    const int pairWorth = static_cast<int>(std::min(n, m)) + 1;
    std::vector<int> best[2] = {std::vector<int>((n + 1) * cols, 0), std::vector<int>((n + 1) * cols, 0)};
    const auto at = [cols](std::size_t i, std::size_t j) { return i * cols + j; };
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            const int skip = std::max(best[0][at(i + 1, j)], best[0][at(i, j + 1)]);
            const bool same = e[i].letter == g[j].letter;
            for (int p = 0; p < 2; ++p) {
                const int paired = same ? pairWorth + p + best[1][at(i + 1, j + 1)] : -1;
                best[p][at(i, j)] = std::max(skip, paired);
            }
        }
    }
    Pairing pairing{std::vector<int>(n, -1), std::vector<int>(m, -1)};
    std::size_t i = 0;
    std::size_t j = 0;
    int p = 0;
    while (i < n && j < m) {
        const int score = best[p][at(i, j)];
        if (e[i].letter == g[j].letter && score == pairWorth + p + best[1][at(i + 1, j + 1)]) {
            pairing.ofExpected[i] = static_cast<int>(j);
            pairing.ofGiven[j] = static_cast<int>(i);
            ++i;
            ++j;
            p = 1;
        } else if (score == best[0][at(i + 1, j)]) {
            ++i;  // the earlier expected letter is the one left out
            p = 0;
        } else {
            ++j;
            p = 0;
        }
    }
    return pairing;
}

} // namespace

QList<TextSpan> MissedWords(const QString& expected, const QString& given)
{
    QList<TextSpan> words;
    const std::vector<Letter> e = Letters(expected, &words);
    const std::vector<Letter> g = Letters(given, nullptr);
    if (static_cast<qint64>(e.size() + 1) * static_cast<qint64>(g.size() + 1) > kMaxCells)
        return {};
    const Pairing pairing = Pair(e, g);

    std::vector<bool> wrong(static_cast<std::size_t>(words.size()), false);
    // A letter left out or typed wrong.
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (pairing.ofExpected[i] < 0)
            wrong[static_cast<std::size_t>(e[i].word)] = true;
    }
    // A typed letter paired with none: it spoils the expected words of the
    // paired letters next to it in the same typed word, and any expected word
    // whose letters it lies between.
    std::vector<int> first(wrong.size(), -1);
    std::vector<int> last(wrong.size(), -1);
    for (std::size_t j = 0; j < g.size(); ++j) {
        if (pairing.ofGiven[j] < 0)
            continue;
        const auto word = static_cast<std::size_t>(e[static_cast<std::size_t>(pairing.ofGiven[j])].word);
        if (first[word] < 0)
            first[word] = static_cast<int>(j);
        last[word] = static_cast<int>(j);
    }
    for (std::size_t j = 0; j < g.size(); ++j) {
        if (pairing.ofGiven[j] >= 0)
            continue;
        for (int step : {-1, 1}) {
            for (auto k = static_cast<std::ptrdiff_t>(j) + step;
                 k >= 0 && k < static_cast<std::ptrdiff_t>(g.size()) && g[std::size_t(k)].word == g[j].word; k += step) {
                const int paired = pairing.ofGiven[std::size_t(k)];
                if (paired >= 0) {
                    wrong[static_cast<std::size_t>(e[std::size_t(paired)].word)] = true;
                    break;
                }
            }
        }
        for (std::size_t w = 0; w < wrong.size(); ++w) {
            if (first[w] >= 0 && first[w] < static_cast<int>(j) && static_cast<int>(j) < last[w])
                wrong[w] = true;
        }
    }

    QList<TextSpan> missed;
    for (std::size_t w = 0; w < wrong.size(); ++w) {
        if (wrong[w])
            missed.append(words.at(static_cast<qsizetype>(w)));
    }
    return missed;
}
