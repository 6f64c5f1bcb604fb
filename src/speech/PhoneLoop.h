#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class SpeechDecoder;

// The best free sequence of phones through a recording (a grammar of any
// phone after any other, pauses and noise between them): the yardstick a
// word's expected phones are measured against. Uses the decoder's own
// search slot for it; call from the decoder's thread.
class PhoneLoop {
public:
    // Adds the loop's one-phone words to the decoder; false when the model
    // refuses them.
    static bool Prepare(SpeechDecoder& decoder);
    // The one-phone word the loop spells `phone` ("AH") with.
    static QString PhoneWord(const QString& phone);

    // The acoustic score of the loop's best path in each frame (each decoded
    // phone's score shared evenly over its frames), and whether anything but
    // pauses and noise was heard. Nothing when the decoding failed.
    struct Frames {
        std::vector<double> score;
        int phoneFrames = 0;
    };
    static std::optional<Frames> Decode(SpeechDecoder& decoder, std::span<const int16_t> pcm);
};
