#pragma once

#include <QString>

#include <memory>

struct ps_decoder_s;
struct cmd_ln_s;

// One pocketsphinx decoder over the installed American English model
// (Debian pocketsphinx-en-us): its acoustic model, pronouncing dictionary
// and phone language model. Loading takes a few tenths of a second, so a
// caller keeps one for many alignments. Not thread-safe: one thread at a
// time uses a decoder; several decoders may run on several threads.
class SpeechDecoder {
public:
    ~SpeechDecoder();
    SpeechDecoder(const SpeechDecoder&) = delete;
    SpeechDecoder& operator=(const SpeechDecoder&) = delete;

    // The model's folder: $VELTRA_SPEECH_MODEL when set, else the Debian one.
    static QString ModelFolder();
    // Whether the model's files are there, without loading them.
    static bool ModelInstalled();
    // What a word's score is measured against in each frame.
    enum class Scoring {
        // The best of the sounds the search is following: cheap, and enough
        // to place words, since every path is measured alike.
        AgainstSearch,
        // The best of every sound the model knows (all senones scored in
        // every frame, about three times the work): says how well a word fits.
        AgainstEverySound,
    };

    // What a search may put between two words besides a pause.
    enum class Between {
        // Noise and unknown speech too: a breath, a cough, an "um".
        NoiseAndBabble,
        // Pauses only, so that a word said as another word cannot hide its
        // sounds in babble beside a squeezed-in rendering of the expected one.
        PausesOnly,
    };

    // nullptr with `error` set when the model is missing or cannot be loaded.
    static std::unique_ptr<SpeechDecoder> open(Scoring scoring, QString& error,
                                               Between between = Between::NoiseAndBabble);

    ps_decoder_s* handle() const { return m_decoder; }

    // The dictionary's phones for `word` (lower case), empty when it lacks it.
    QString phonesOf(const QString& word) const;
    // Adds a word with ARPAbet phones; false when the model refuses them.
    bool addWord(const QString& word, const QString& phones);

private:
    SpeechDecoder() = default;

    cmd_ln_s* m_config = nullptr;
    ps_decoder_s* m_decoder = nullptr;
};

// The sample rate the model hears.
inline constexpr int kSpeechRate = 16000;
// Length of one analysis frame of the model, in milliseconds.
inline constexpr int kSpeechFrameMs = 10;
