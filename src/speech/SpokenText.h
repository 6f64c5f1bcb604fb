#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// A sentence as it is spoken: its words and numbers, each with the ways it
// may be read aloud. Pure; callable from any thread.
struct TextToken {
    QString text;             // as written: "Mr", "1984", "well-known", "U.K"
    qsizetype position = 0;   // where it starts in the sentence
    // The ways to read it, most likely first; each is one or more spoken
    // words in lower case with straight apostrophes ("isn't", "nineteen").
    QList<QStringList> readings;
};

// Tokens are runs of letters and digits, joined by inner apostrophes,
// hyphens and full stops ("don't", "well-known", "U.K", "3.50"). Digits
// are read as number words, hyphens and dots split a token into spoken
// words, and common abbreviations ("Dr", "e.g") are read out in full.
std::vector<TextToken> SpokenTokens(const QString& sentence);

// All spoken tokens of several sentences, with each sentence's first token.
struct SpokenSentences {
    std::vector<TextToken> tokens;
    std::vector<int> firstToken;  // one per sentence, plus the total at the end
};
SpokenSentences SpokenTokensOf(const QStringList& sentences);
