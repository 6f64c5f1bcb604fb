#pragma once

#include "WavData.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Speaks texts with the espeak-ng command (British English voice), a few
// processes at a time. Call speak() from one thread; it runs and joins its
// own worker threads before returning.
class SpeechSynthesizer {
public:
    struct Options {
        QString program = QStringLiteral("espeak-ng");
        QString voice = QStringLiteral("en-gb");
        int wordsPerMinute = 150;  // a little slower than the default, for learners
        int jobs = 2;
    };

    SpeechSynthesizer() = default;
    explicit SpeechSynthesizer(Options options) : m_options(std::move(options)) {}

    // One recording per text, in order. On failure returns nothing and sets
    // `error` to the first failure (which text, and why).
    std::optional<std::vector<MonoPcm>> speak(const QStringList& texts, QString& error) const;

private:
    std::optional<MonoPcm> speakOne(const QString& text, QString& error) const;

    Options m_options;
};
