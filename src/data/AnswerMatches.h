#pragma once

#include <QString>

// The answer rule of the dictation exercises: right exactly when both texts,
// upper-cased, hold the same letters A-Z in the same order. Blanks, line
// breaks, digits, punctuation and non-ASCII characters do not count, so two
// texts without any letter A-Z always match. Pure: callable from any thread.
bool AnswerMatches(const QString& expected, const QString& given);
