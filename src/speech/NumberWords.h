#pragma once

#include <QStringList>

// How a number written in digits is read aloud. Pure; callable from any
// thread.

// The readings of a run of digits, most likely first: "42" → {"forty two"};
// "1984" → {"nineteen eighty four", "one thousand nine hundred eighty four"};
// "3.50" → {"three point five zero"}; "21st" → {"twenty first"}; digits
// grouped with commas ("12,000") read as one number. Empty when `token` is
// not such a number (or too large to read).
QStringList NumberReadings(const QString& token);
