#pragma once

#include <QString>

#include <optional>

// Expands a lesson list expression such as "1,2-5,7" into the comma-joined
// lesson numbers of a catalogue query ("1,2,3,4,5,7"). Pure: any thread.

// A single range or the whole list may name at most this many numbers; a
// book has far fewer lessons, and a longer list is treated as invalid rather
// than built number by number.
inline constexpr int kMaxLessonListNumbers = 10000;

// What the learner is told when ExpandLessonList finds the expression invalid.
QString InvalidLessonListMessage();

// The list in input order, duplicates kept, possibly empty; nothing when the
// expression is invalid. Items are split at ',' and trimmed of blanks and
// control characters; empty items are skipped; "a-b" is a range in either
// direction; other items must be plain decimal numbers that fit a signed
// 32-bit integer, kept as typed ("05" stays "05").
std::optional<QString> ExpandLessonList(const QString& input);

// Whether the lesson field takes a typed character: Backspace, the digits and
// , - . % ' (the expression later refuses the last three). The field does not
// filter pasted text.
bool IsLessonListKey(QChar typed);
