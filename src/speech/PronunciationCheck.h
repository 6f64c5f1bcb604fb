#pragma once

#include "speech/ForcedAligner.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <vector>

class SpeechDecoder;

// How clearly a word of the sentence was said in a take.
enum class Clarity { Clear, SomewhatUnclear, Unclear, Omitted };
QString ClarityName(Clarity clarity);  // "清楚", "不太清楚", "不清楚", "漏读"

// Goodness of pronunciation: per frame, how much worse the word's expected
// phones explain its stretch of the take than the best free phone sequence
// does (0: as well; more negative: worse), over the whole word and for its
// worst phone. The limits come from takes of known sentences read right,
// with a word replaced, left out, or another sentence read
// (bench/pronunciation_bench prints what they give): 95 % of the words of
// sentences read right are clear.
inline constexpr double kClearScoreAbove = -36;
inline constexpr double kClearPhoneAbove = -110;
inline constexpr double kUnclearScoreBelow = -40;
inline constexpr double kUnclearPhoneBelow = -130;
Clarity ClarityOf(double score, double worstPhone);

// One word (a token of the sentence as written) and what the take made of it.
struct CheckedWord {
    QString text;            // as written: "Mr", "1984", "don't"
    bool found = false;      // false: the alignment left it out
    int beginMs = 0;         // in the take
    int endMs = 0;
    double score = 0;        // goodness of pronunciation; 0 when not found
    double worstPhone = 0;   // the same for its worst phone
    Clarity clarity = Clarity::Omitted;
};

// Checks takes against the sentences they read and finds where a sentence's
// words lie in its model's voice. Holds one decoder (loading it takes a few
// tenths of a second): keep it for many takes. One thread at a time.
class PronunciationChecker {
public:
    ~PronunciationChecker();
    PronunciationChecker(const PronunciationChecker&) = delete;
    PronunciationChecker& operator=(const PronunciationChecker&) = delete;

    // nullptr with `error` set when the speech model is missing or broken.
    static std::unique_ptr<PronunciationChecker> Open(QString& error);

    // One result per word of `sentence`, for a take at 16 kHz mono. Nothing,
    // with `error` set, when the sentence has no words, a word cannot be
    // pronounced, or the take holds no speech, and when a stop was requested
    // through `stop` (seen once the alignment's pass is done).
    std::optional<std::vector<CheckedWord>> Check(std::span<const int16_t> take, const QString& sentence,
                                                  QString& error, std::stop_token stop = {});

    // Where each word of `sentence` lies in a recording that reads all of it
    // (a model's voice): found, begin and end only, nothing judged. Nothing,
    // with `error` set, as for Check.
    std::optional<std::vector<CheckedWord>> Place(std::span<const int16_t> voice, const QString& sentence,
                                                  QString& error, std::stop_token stop = {});

private:
    explicit PronunciationChecker(std::unique_ptr<SpeechDecoder> decoder);
    // With `phones`, the check's alignment: each word spelled in the phone
    // loop's one-phone words, so that each phone's stretch and score come
    // back (one list per word), and each word may be left out.
    std::optional<std::vector<CheckedWord>> Align(std::span<const int16_t> pcm, const QString& sentence, QString& error,
                                                  std::stop_token stop,
                                                  std::vector<std::vector<WordTiming::Part>>* phones = nullptr);

    // The dictionary's phones for `word`, or espeak-ng's when it lacks it.
    QString PhonesOf(const QString& word);
    // The phones of a reading (its words in turn): a one-word reading also has
    // the dictionary's other pronunciations ("the(2)"), a longer one its
    // words' first ones only.
    QStringList PronunciationsOf(const QStringList& reading);
    std::vector<TextToken> SpelledInPhones(const std::vector<TextToken>& tokens);

    std::unique_ptr<SpeechDecoder> m_decoder;
};
