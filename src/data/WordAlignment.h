#pragma once

#include <QList>
#include <QString>

// A run of characters in a text.
struct TextSpan {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// The words of `expected` that `given` lacks or misspells. Both texts are cut
// into words at blanks and line breaks, and words are compared on their
// letters A-Z only, regardless of case, as the dictation marking does; a
// longest common subsequence of the two word lists pairs them up, and every
// expected word left unpaired is reported, in order. Words without any
// letter are never reported. Where several alignments are equally long, the
// earlier expected words are the ones reported (of "is this" for "this is",
// "this").
//
// Texts too long to align in reasonable memory report nothing. Pure:
// callable from any thread.
QList<TextSpan> MissedWords(const QString& expected, const QString& given);
