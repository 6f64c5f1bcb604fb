#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Where a recording is quiet enough to be a pause between words, judged from
// its loudness in short steps against its own noise floor and speech level.
// Pure; callable from any thread.
class SpeechPauses {
public:
    static constexpr int kStepMs = 5;

    // `pcm`: 16 kHz mono.
    explicit SpeechPauses(std::span<const int16_t> pcm);

    int lengthMs() const { return int(m_loud.size()) * kStepMs; }
    bool quietAt(int ms) const;

    struct Pause {
        int beginMs = 0;  // the last sound before it ends here
        int endMs = 0;    // the next sound starts here
        int length() const { return endMs - beginMs; }
    };
    // The pauses of at least `minMs` that reach into [fromMs, toMs), whole,
    // in order.
    std::vector<Pause> pausesIn(int fromMs, int toMs, int minMs) const;
    // The nearest place within `reachMs` of `ms` where a pause gives way to
    // sound (onset) or sound to a pause (offset); `ms` itself when none.
    int onsetNear(int ms, int reachMs) const;
    int offsetNear(int ms, int reachMs) const;

private:
    std::vector<bool> m_loud;  // one per step
};
