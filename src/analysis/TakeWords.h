#pragma once

#include "analysis/WordPlacement.h"
#include "speech/PronunciationCheck.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <stop_token>
#include <vector>

struct PcmAudio;

// A word of the sentence: how clearly the take said it, and where it lies
// in the model and in the take (seconds of each voice).
struct TakeWord {
    QString text;
    Clarity clarity = Clarity::Omitted;
    bool inModel = false;  // the model's times were found
    double modelBegin = 0;
    double modelEnd = 0;
    double takeBegin = 0;  // 0..0 when left out
    double takeEnd = 0;
};

struct TakeWordCheck {
    std::vector<PlacedWord> modelWords;  // where the model's words were found; empty when they were not
    std::vector<TakeWord> words;         // empty when the take could not be checked
    QString note;                        // why not, for the learner; empty when nothing needs saying
};

// Finds a take's words and the model's with the speech recogniser, which it
// opens on the first take and keeps. One thread at a time (the analysis
// thread): the recogniser is not thread-safe.
class TakeWordChecker {
public:
    TakeWordChecker();
    ~TakeWordChecker();
    TakeWordChecker(const TakeWordChecker&) = delete;
    TakeWordChecker& operator=(const TakeWordChecker&) = delete;

    // Voices longer than `longestSeconds` are checked over their beginning.
    // A stop requested through `stop` ends the check after the recogniser's
    // pass under way; what it returns then is to be thrown away.
    TakeWordCheck Check(const PcmAudio& model, const PcmAudio& take, const QString& text, double longestSeconds,
                        std::stop_token stop = {});

private:
    // Which model the words of m_inModel were found in.
    struct ModelKey {
        QString text;
        int64_t frames = -1;
        int sampleRate = 0;
        bool operator==(const ModelKey&) const = default;
    };

    std::unique_ptr<PronunciationChecker> m_checker;
    bool m_opened = false;  // tried once; a missing model is said once only
    ModelKey m_placedKey;
    std::vector<CheckedWord> m_inModel;
};
