#include "speech/PronunciationCheck.h"

#include "speech/PhoneLoop.h"
#include "speech/PhoneSpelling.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpokenText.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The chance of a word being left out. Measured against 1e-6 and 1e-40: a
// higher one lets a word said with an accent go as left out, a lower one
// squeezes a word really left out between its neighbours (then judged
// unclear rather than left out).
constexpr double kSkipProbability = 1e-20;
// Pronunciations of a word the dictionary may list ("the", "the(2)").
constexpr int kMostPronunciations = 3;
// A take whose loudest frame stays below this holds no speech.
constexpr double kSilentBelowDbfs = -50;
// Fewer frames of phones than this (the rest pauses and noise): no speech.
constexpr int kLeastPhoneFrames = 15;

double PeakLevelDbfs(std::span<const int16_t> pcm)
{
    constexpr std::size_t kFrame = 400;  // 25 ms
    double loudest = 0;
    for (std::size_t from = 0; from < pcm.size(); from += kFrame / 2) {
        const std::size_t to = std::min(pcm.size(), from + kFrame);
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += double(pcm[i]) * pcm[i];
        loudest = std::max(loudest, sum / double(to - from));
    }
    return 10.0 * std::log10(loudest / (32768.0 * 32768.0) + 1e-12);
}

} // namespace

QString ClarityName(Clarity clarity)
{
    switch (clarity) {
    case Clarity::Clear:
        return QStringLiteral("清楚");
    case Clarity::SomewhatUnclear:
        return QStringLiteral("不太清楚");
    case Clarity::Unclear:
        return QStringLiteral("不清楚");
    case Clarity::Omitted:
        break;
    }
    return QStringLiteral("漏读");
}

Clarity ClarityOf(double score, double worstPhone)
{
    if (score > kClearScoreAbove && worstPhone > kClearPhoneAbove)
        return Clarity::Clear;
    if (score < kUnclearScoreBelow || worstPhone < kUnclearPhoneBelow)
        return Clarity::Unclear;
    return Clarity::SomewhatUnclear;
}

PronunciationChecker::PronunciationChecker(std::unique_ptr<SpeechDecoder> decoder) : m_decoder(std::move(decoder)) {}

PronunciationChecker::~PronunciationChecker() = default;

std::unique_ptr<PronunciationChecker> PronunciationChecker::Open(QString& error)
{
    // Both the word and the free phones are scored against every sound the
    // model knows, so their scores share one scale frame by frame.
    std::unique_ptr<SpeechDecoder> decoder = SpeechDecoder::open(SpeechDecoder::Scoring::AgainstEverySound, error,
                                                                 SpeechDecoder::Between::PausesOnly);
    if (!decoder)
        return nullptr;
    if (!PhoneLoop::Prepare(*decoder)) {
        error = QStringLiteral("the speech model in %1 lacks the phones of American English")
                    .arg(SpeechDecoder::ModelFolder());
        return nullptr;
    }
    return std::unique_ptr<PronunciationChecker>(new PronunciationChecker(std::move(decoder)));
}

std::optional<std::vector<CheckedWord>> PronunciationChecker::Align(std::span<const int16_t> pcm,
                                                                    const QString& sentence, QString& error,
                                                                    std::stop_token stop,
                                                                    std::vector<std::vector<WordTiming::Part>>* phones)
{
    const std::vector<TextToken> tokens = SpokenTokens(sentence);
    if (tokens.empty()) {
        error = QStringLiteral("the text has no words");
        return std::nullopt;
    }
    if (PeakLevelDbfs(pcm) < kSilentBelowDbfs) {
        error = QStringLiteral("the recording holds no speech");
        return std::nullopt;
    }
    ForcedAligner aligner(*m_decoder);
    if (phones) {
        std::vector<int> units(tokens.size() + 1);
        std::iota(units.begin(), units.end(), 0);
        aligner.allowSkipping(std::move(units), kSkipProbability);
    }
    const auto goOn = [&stop](qint64, qint64) { return !stop.stop_requested(); };
    const std::optional<std::vector<WordTiming>> timings =
        aligner.align(pcm, phones ? SpelledInPhones(tokens) : tokens, error, goOn);
    if (!timings)
        return std::nullopt;
    std::vector<CheckedWord> words(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const WordTiming& t = (*timings)[i];
        CheckedWord& w = words[i];
        w.text = tokens[i].text;
        w.found = t.found;
        w.beginMs = t.beginMs;
        w.endMs = t.endMs;
        if (phones)
            phones->push_back(t.parts);
    }
    return words;
}

QString PronunciationChecker::PhonesOf(const QString& word)
{
    const QString known = m_decoder->phonesOf(word);
    if (!known.isEmpty())
        return known;
    // Kept in the dictionary, so the next take of the sentence asks espeak-ng no more.
    const QString guessed = GuessedPhones(word);
    if (!guessed.isEmpty())
        m_decoder->addWord(word, guessed);
    return guessed;
}

QStringList PronunciationChecker::PronunciationsOf(const QStringList& reading)
{
    QStringList joined;
    for (const QString& word : reading)
        joined << PhonesOf(word);
    QStringList pronunciations = {joined.join(QLatin1Char(' '))};
    for (int v = 2; reading.size() == 1 && v <= kMostPronunciations; ++v) {
        const QString other = m_decoder->phonesOf(QStringLiteral("%1(%2)").arg(reading.front()).arg(v));
        if (other.isEmpty())
            break;
        pronunciations << other;
    }
    return pronunciations;
}

std::vector<TextToken> PronunciationChecker::SpelledInPhones(const std::vector<TextToken>& tokens)
{
    std::vector<TextToken> spelled;
    for (const TextToken& token : tokens) {
        TextToken t = token;
        t.readings.clear();
        for (const QStringList& reading : token.readings) {
            for (const QString& phones : PronunciationsOf(reading)) {
                QStringList spelledReading;
                for (const QString& phone : phones.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    spelledReading << PhoneLoop::PhoneWord(phone);
                if (!spelledReading.isEmpty() && !t.readings.contains(spelledReading))
                    t.readings << spelledReading;
            }
        }
        spelled.push_back(t);
    }
    return spelled;
}

std::optional<std::vector<CheckedWord>> PronunciationChecker::Check(std::span<const int16_t> take,
                                                                    const QString& sentence, QString& error,
                                                                    std::stop_token stop)
{
    std::vector<std::vector<WordTiming::Part>> phones;
    std::optional<std::vector<CheckedWord>> words = Align(take, sentence, error, stop, &phones);
    if (!words)
        return std::nullopt;
    const std::optional<PhoneLoop::Frames> loop = PhoneLoop::Decode(*m_decoder, take);
    if (!loop || loop->phoneFrames < kLeastPhoneFrames) {
        error = QStringLiteral("the recording holds no speech");
        return std::nullopt;
    }
    const auto freeScore = [&](int beginMs, int endMs) {
        double sum = 0;
        for (int f = beginMs / kSpeechFrameMs; f < std::min(int(loop->score.size()), endMs / kSpeechFrameMs); ++f)
            sum += loop->score[std::size_t(f)];
        return sum;
    };
    for (std::size_t i = 0; i < words->size(); ++i) {
        CheckedWord& w = (*words)[i];
        if (!w.found)
            continue;
        // Phone by phone, over the phones' own frames: a pause inside the
        // word is neither credited nor held against it.
        double below = 0;
        int frames = 0;
        w.worstPhone = 0;
        for (const WordTiming::Part& p : phones[i]) {
            const int n = std::max(1, (p.endMs - p.beginMs) / kSpeechFrameMs);
            const double gop = p.score - freeScore(p.beginMs, p.endMs);
            below += gop;
            frames += n;
            w.worstPhone = std::min(w.worstPhone, gop / n);
        }
        w.score = below / std::max(1, frames);
        w.clarity = ClarityOf(w.score, w.worstPhone);
    }
    return words;
}

std::optional<std::vector<CheckedWord>> PronunciationChecker::Place(std::span<const int16_t> voice,
                                                                    const QString& sentence, QString& error,
                                                                    std::stop_token stop)
{
    return Align(voice, sentence, error, stop);
}
