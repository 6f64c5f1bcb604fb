#pragma once

#include "CourseModel.h"
#include "Diagnostics.h"

// Reads the file system only; call from one thread per Diagnostics.
// Reads a whole course: COURSE_DIR/book1..book4/*.yaml, one lesson per
// file, files in natural name order (lesson9 before lesson10). Checks what
// spans files (duplicate lesson numbers) and warns about new words that do
// not occur in their lesson's text. The course is usable only when
// diagnostics holds no error.
Course ReadCourse(const QString& courseDir, Diagnostics& diagnostics);

// Natural order of file names: digit runs compare by value.
bool NaturalLess(const QString& a, const QString& b);
