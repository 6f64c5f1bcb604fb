#pragma once

#include "CourseModel.h"
#include "LessonRecording.h"
#include "SpeechSynthesizer.h"

#include "data/WholeFile.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Packs `audio` into a container written as the whole file `path`; false
// with `error` naming the file and the system's reason.
bool WriteContainer(const QString& path, const QByteArray& audio, const WholeFileOptions& options, QString& error);

// Writes one lesson's audio into `bookDir` of a staging folder (synced later
// as a whole): <lesson>.qor (the MP3 of all sentences) and <FID>.qow (a WAV
// per new word, FIDs from firstWordId on). Returns the sentence spans, or
// nothing with `error` set.
std::optional<std::vector<SentenceSpan>> WriteLessonAudio(const CourseLesson& lesson, int firstWordId, const QString& bookDir,
                                                          const SpeechSynthesizer& speech, QString& error);
