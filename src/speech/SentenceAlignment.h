#pragma once

#include "speech/ForcedAligner.h"
#include "speech/SpokenText.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class SpeechDecoder;
class SpeechPauses;

// Where one sentence of a lesson lies in its recording.
struct SentenceTiming {
    int beginMs = 0;
    int endMs = 0;
    double confidence = 0;  // 0..1
    bool uncertain() const { return confidence < 0.5; }
};

struct SentenceAlignment {
    SpokenSentences spoken;
    std::vector<WordTiming> words;  // one per spoken token
    std::vector<SentenceTiming> sentences;
    int uncertainCount() const;
};

// Finds every sentence's span in a lesson recording (16 kHz mono). Each
// span starts a little before the sentence's first sound and ends in the
// pause after its last, never reaching into a neighbour's speech. A
// sentence the alignment could not place, or placed against the evidence of
// the recording's pauses, gets a span from the pauses and the length of its
// text and a confidence below 0.5. Nothing, with `error` set, when a word
// cannot be pronounced, the work was stopped, or the text does not match
// the recording at all. Call from the decoder's thread.
std::optional<SentenceAlignment> AlignSentences(std::span<const int16_t> pcm, const QStringList& sentences,
                                                SpeechDecoder& decoder, QString& error,
                                                const AlignmentProgress& progress = {});

// The placing step alone: sentence spans from the aligned words and the
// recording's pauses. Pure.
std::vector<SentenceTiming> PlaceSentences(const SpokenSentences& spoken, const std::vector<WordTiming>& words,
                                           const SpeechPauses& pauses);
