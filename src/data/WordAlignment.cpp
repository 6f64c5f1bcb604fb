#include "data/WordAlignment.h"

#include <algorithm>
#include <vector>

namespace {

// A learner's paste can be any size; beyond this many table cells the
// alignment is skipped rather than allocate without bound.
constexpr qint64 kMaxCells = 4'000'000;

struct Word {
    TextSpan span;
    QString letters;  // upper-case A-Z only
};

std::vector<Word> LetterWords(const QString& text)
{
    std::vector<Word> words;
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n) {
        while (i < n && text.at(i).isSpace())
            ++i;
        const int start = i;
        QString letters;
        for (; i < n && !text.at(i).isSpace(); ++i) {
            const char16_t u = text.at(i).unicode();
            if (u >= u'a' && u <= u'z')
                letters.append(QChar(u - u'a' + u'A'));
            else if (u >= u'A' && u <= u'Z')
                letters.append(QChar(u));
        }
        if (!letters.isEmpty())
            words.push_back({{start, i - start}, letters});
    }
    return words;
}

} // namespace

QList<TextSpan> MissedWords(const QString& expected, const QString& given)
{
    const std::vector<Word> e = LetterWords(expected);
    const std::vector<Word> g = LetterWords(given);
    const std::size_t rows = e.size() + 1;
    const std::size_t cols = g.size() + 1;
    if (static_cast<qint64>(rows) * static_cast<qint64>(cols) > kMaxCells)
        return {};

    // lcs[i * cols + j]: length of a longest common subsequence of e[i..] and g[j..].
    std::vector<int> lcs(rows * cols, 0);
    for (std::size_t i = e.size(); i-- > 0;) {
        for (std::size_t j = g.size(); j-- > 0;) {
            lcs[i * cols + j] = e[i].letters == g[j].letters
                ? lcs[(i + 1) * cols + j + 1] + 1
                : std::max(lcs[(i + 1) * cols + j], lcs[i * cols + j + 1]);
        }
    }

    QList<TextSpan> missed;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < e.size()) {
        if (j < g.size() && e[i].letters == g[j].letters && lcs[i * cols + j] == lcs[(i + 1) * cols + j + 1] + 1) {
            ++i;
            ++j;
        } else if (j >= g.size() || lcs[(i + 1) * cols + j] >= lcs[i * cols + j + 1]) {
            missed.append(e[i].span);
            ++i;
        } else {
            ++j;
        }
    }
    return missed;
}
