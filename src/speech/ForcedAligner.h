#pragma once

#include "speech/SpokenText.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class SpeechDecoder;

// Where one text token was spoken.
struct WordTiming {
    bool found = false;  // false when the token was left out (or never reached)
    int beginMs = 0;
    int endMs = 0;
    // Mean acoustic score per frame of the token's sounds (≤ 0), against
    // what the decoder's scoring measures it (see SpeechDecoder::Scoring).
    double score = 0;
    // The spoken words of the reading found (or the phones, for a reading
    // spelled in one-phone words), each with its summed acoustic score.
    struct Part {
        int beginMs = 0;
        int endMs = 0;
        double score = 0;
    };
    std::vector<Part> parts;
};

// Reports how many samples of how many are done; returning false stops.
using AlignmentProgress = std::function<bool(qint64 done, qint64 total)>;

// Forced alignment of a known text to its recording with a grammar of the
// exact token sequence (pauses, breath and noise between any two tokens),
// decoded in overlapping windows so that long recordings take bounded
// memory. Uses one decoder; call from the decoder's thread.
class ForcedAligner {
public:
    explicit ForcedAligner(SpeechDecoder& decoder) : m_decoder(decoder) {}

    // Lets units of tokens be left out at the cost of `probability` each: the
    // tokens from units[i] up to units[i + 1] (a word of a take, a sentence
    // of a lesson that is not in its recording).
    void allowSkipping(std::vector<int> units, double probability)
    {
        m_skipUnits = std::move(units);
        m_skipProbability = probability;
    }

    // One timing per token of `tokens` in `pcm` (16 kHz mono). Nothing, with
    // `error` set, when a word cannot be given a pronunciation or the
    // progress callback stopped the work.
    std::optional<std::vector<WordTiming>> align(std::span<const int16_t> pcm, const std::vector<TextToken>& tokens,
                                                 QString& error, const AlignmentProgress& progress = {});

private:
    struct Segment;
    bool prepareWords(const std::vector<TextToken>& tokens, QString& error);
    std::vector<Segment> decode(std::span<const int16_t> pcm, const std::vector<TextToken>& tokens, int first,
                                int count, bool endAnywhere);

    SpeechDecoder& m_decoder;
    std::vector<int> m_skipUnits;
    double m_skipProbability = 0;
};
