#include "speech/PronunciationCheck.h"

#include "speech/PhoneLoop.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpokenText.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The cost of leaving a word out: low enough that a word not said at all is
// skipped rather than squeezed between its neighbours.
constexpr double kSkipProbability = 1e-6;
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

Clarity ClarityOf(double score)
{
    if (score > kClearScoreAbove)
        return Clarity::Clear;
    return score < kUnclearScoreBelow ? Clarity::Unclear : Clarity::SomewhatUnclear;
}

PronunciationChecker::PronunciationChecker(std::unique_ptr<SpeechDecoder> decoder) : m_decoder(std::move(decoder)) {}

PronunciationChecker::~PronunciationChecker() = default;

std::unique_ptr<PronunciationChecker> PronunciationChecker::Open(QString& error)
{
    // Both the word and the free phones are scored against every sound the
    // model knows, so their scores share one scale frame by frame.
    std::unique_ptr<SpeechDecoder> decoder = SpeechDecoder::open(SpeechDecoder::Scoring::AgainstEverySound, error);
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
                                                                    const QString& sentence, bool skipping,
                                                                    QString& error)
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
    if (skipping) {
        std::vector<int> units(tokens.size() + 1);
        std::iota(units.begin(), units.end(), 0);
        aligner.allowSkipping(std::move(units), kSkipProbability);
    }
    const std::optional<std::vector<WordTiming>> timings = aligner.align(pcm, tokens, error);
    if (!timings)
        return std::nullopt;
    std::vector<CheckedWord> words(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const WordTiming& t = (*timings)[i];
        CheckedWord& w = words[i];
        w.text = tokens[i].text;
        w.position = tokens[i].position;
        w.found = t.found;
        w.beginMs = t.beginMs;
        w.endMs = t.endMs;
        w.score = t.score;  // the alignment's own per-frame score until the check replaces it
    }
    return words;
}

std::optional<std::vector<CheckedWord>> PronunciationChecker::Check(std::span<const int16_t> take,
                                                                    const QString& sentence, QString& error)
{
    std::optional<std::vector<CheckedWord>> words = Align(take, sentence, true, error);
    if (!words)
        return std::nullopt;
    const std::optional<PhoneLoop::Frames> loop = PhoneLoop::Decode(*m_decoder, take);
    if (!loop || loop->phoneFrames < kLeastPhoneFrames) {
        error = QStringLiteral("the recording holds no speech");
        return std::nullopt;
    }
    for (CheckedWord& w : *words) {
        if (!w.found) {
            w.score = 0;
            w.clarity = Clarity::Omitted;
            continue;
        }
        const int first = w.beginMs / kSpeechFrameMs;
        const int last = std::min(int(loop->score.size()), w.endMs / kSpeechFrameMs);
        double free = 0;
        for (int f = first; f < last; ++f)
            free += loop->score[std::size_t(f)];
        const int frames = std::max(1, w.endMs / kSpeechFrameMs - first);
        w.score = w.score - free / double(frames);
        w.clarity = ClarityOf(w.score);
    }
    return words;
}

std::optional<std::vector<CheckedWord>> PronunciationChecker::Place(std::span<const int16_t> voice,
                                                                    const QString& sentence, QString& error)
{
    std::optional<std::vector<CheckedWord>> words = Align(voice, sentence, false, error);
    if (words) {
        for (CheckedWord& w : *words)
            w.clarity = w.found ? Clarity::Clear : Clarity::Omitted;
    }
    return words;
}
