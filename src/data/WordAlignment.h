#pragma once

#include <QList>
#include <QString>

// A run of characters in a text.
struct TextSpan {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// The words of `expected` that `given` lacks or misspells, agreeing with the
// dictation marking, which compares the letters A-Z alone, regardless of
// case: a word split or joined ("postoffice" for "post office", "well known"
// for "well-known") is no fault. The letters of both texts are aligned, as
// many as possible and words kept in one piece where that ties; an expected
// word (cut at blanks and line breaks) is reported when one of its letters
// is left out or typed wrong, or a typed letter that belongs nowhere sits
// inside it or next to it in the same typed word. Words without any letter
// are never reported; a typed word that belongs nowhere spoils no expected
// word. Where alignments tie, the earlier expected letters are the ones
// reported.
//
// Texts too long to align in reasonable memory report nothing. Pure:
// callable from any thread.
QList<TextSpan> MissedWords(const QString& expected, const QString& given);
