#pragma once

#include "Diagnostics.h"
#include "SpeechSynthesizer.h"

#include <QString>

#include <functional>

// Builds a data folder from a course folder: qor.db, the lesson and word
// containers and tmpwav.wav. Everything is written into a staging folder
// beside the target and moved into place only when complete, so the target
// is either the old folder or the complete new one. Call from one thread.
class CourseBuilder {
public:
    enum class Result {
        Built,
        BadCourse,  // the course has errors (see diagnostics); nothing was written
        BadTarget,  // the data folder may not be replaced (see error); nothing was written
        Failed,     // the course is fine but the build could not be done (see error)
        Stopped,    // `stop` said so; nothing was written
    };

    // `stop` is asked before each lesson's audio and once all of it is made.
    explicit CourseBuilder(SpeechSynthesizer::Options speech = {}, std::function<bool()> stop = {})
        : m_speech(std::move(speech)), m_stop(std::move(stop))
    {
    }

    Result build(const QString& courseDir, const QString& dataDir, Diagnostics& diagnostics, QString& error) const;

private:
    SpeechSynthesizer::Options m_speech;
    std::function<bool()> m_stop;
};
