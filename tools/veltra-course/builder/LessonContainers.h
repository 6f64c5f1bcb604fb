#pragma once

#include "CourseModel.h"
#include "LessonRecording.h"
#include "SpeechSynthesizer.h"

#include <QString>

#include <optional>
#include <vector>

// Writes one lesson's audio into `bookDir`: <lesson>.qor (the MP3 of all
// sentences) and <FID>.qow (a WAV per new word, FIDs from firstWordId on).
// Returns the sentence spans, or nothing with `error` set.
std::optional<std::vector<SentenceSpan>> WriteLessonAudio(const CourseLesson& lesson, int firstWordId, const QString& bookDir,
                                                          const SpeechSynthesizer& speech, QString& error);

// Writes bytes to a new file, reporting what went wrong.
bool WriteFile(const QString& path, const QByteArray& bytes, QString& error);
