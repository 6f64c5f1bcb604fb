#include "speech/SentenceAlignment.h"

#include "speech/SpeechDecoder.h"
#include "speech/SpeechPauses.h"

#include <algorithm>
#include <cmath>

namespace {

// A span starts this much before its first sound (at most a quarter of the
// pause before it) and keeps this much of the pause after its last sound
// (at most half of it): sounds fade out more slowly than they begin.
constexpr int kLeadMs = 30;
constexpr int kTailMs = 400;
// Shorter quiet stretches are gaps inside speech, not pauses.
constexpr int kMinPauseMs = 60;
// How far beyond the aligned edge of a sentence's outer words its pause is
// looked for (the aligner may stretch a word over the pause next to it, or
// squeeze the next one in before it), and how much a pause's distance from
// the aligned gap counts against its length.
constexpr int kPauseReachMs = 500;
constexpr double kDistanceWeight = 0.5;
// A sentence of the text that is not in the recording is left out at the
// cost of this probability, so the sentences after it keep their place.
constexpr double kSentenceSkipProbability = 1e-60;
// Letters per second outside this range are not speech of that text.
constexpr double kSlowestRate = 3;
constexpr double kFastestRate = 40;
// Confidence of a sentence without a pause to one side, and of one placed
// from the pauses and its length alone.
constexpr double kNoPauseFactor = 0.85;
constexpr double kSpreadConfidence = 0.3;
constexpr double kMissingConfidence = 0.1;
// With fewer sentences found than this share, the text is not the one read.
constexpr double kMinFoundShare = 0.3;
// The lowest score per frame, against every sound the model knows, at which
// the text's words may explain its sentences' sounds (the median over a few
// of them); a word left out of the alignment counts as kUnfoundWordScore.
// Measured with espeak-ng voices: the text read scores -63 to -72, another
// text about -91.
constexpr double kMismatchScore = -82;
constexpr double kUnfoundWordScore = -200;
constexpr std::size_t kCheckedSentences = 5;

using Pause = SpeechPauses::Pause;

int SpokenLetters(const SpokenSentences& spoken, std::size_t sentence)
{
    int letters = 0;
    for (int t = spoken.firstToken[sentence]; t < spoken.firstToken[sentence + 1]; ++t)
        for (const QString& word : spoken.tokens[std::size_t(t)].readings.front())
            letters += int(word.size());
    return std::max(letters, 1);
}

// The pause in [from, to) that best parts what the aligner put before
// `gapBegin` from what it put after `gapEnd`: long, and near that gap.
std::optional<Pause> BestPause(const SpeechPauses& pauses, int from, int to, int gapBegin, int gapEnd)
{
    std::optional<Pause> best;
    double bestScore = 0;
    for (const Pause& p : pauses.pausesIn(from, to, kMinPauseMs)) {
        const int distance = std::max({0, p.beginMs - gapEnd, gapBegin - p.endMs});
        const double score = p.length() - kDistanceWeight * distance;
        if (score > bestScore) {
            best = p;
            bestScore = score;
        }
    }
    return best;
}

int EndIn(const Pause& p)
{
    return p.beginMs + std::min(kTailMs, p.length() / 2);
}

int BeginIn(const Pause& p)
{
    return p.endMs - std::min(kLeadMs, p.length() / 4);
}

struct Placed {
    bool found = false;
    int firstSound = 0;  // aligned start of the first word
    int firstWordEnd = 0;
    int lastWordStart = 0;
    int lastSound = 0;  // aligned end of the last word
    double confidence = 0;
};

// Spreads sentences first..last-1 over [from, to) by the length of their
// text, moving each inner boundary into the best pause near it.
void Spread(const SpokenSentences& spoken, const SpeechPauses& pauses, std::size_t first, std::size_t last, int from,
            int to, std::vector<SentenceTiming>& out)
{
    int total = 0;
    for (std::size_t s = first; s < last; ++s)
        total += SpokenLetters(spoken, s);
    const double msPerLetter = double(std::max(to - from, 0)) / double(total);
    int letters = 0;
    int begin = from;
    for (std::size_t s = first; s < last; ++s) {
        letters += SpokenLetters(spoken, s);
        out[s].beginMs = begin;
        if (s + 1 == last) {
            out[s].endMs = to;
            break;
        }
        const int share = int(msPerLetter * SpokenLetters(spoken, s));
        const int point = from + int(std::lround(msPerLetter * letters));
        if (const auto pause = BestPause(pauses, std::max(begin, point - share / 4), std::min(to, point + share / 4),
                                         point, point)) {
            out[s].endMs = std::max(begin, EndIn(*pause));
            begin = std::max(out[s].endMs, BeginIn(*pause));
        } else {
            out[s].endMs = begin = std::max(point, begin);
        }
    }
}

// The median over up to kCheckedSentences placed sentences, spread over the
// recording, of how well per frame the sentence's words explain its sounds,
// scored against every sound the model knows. Nothing, with `error` set,
// when the scoring decoder cannot run.
std::optional<double> TextFit(std::span<const int16_t> pcm, const SentenceAlignment& result, QString& error)
{
    std::vector<std::size_t> placed;
    for (std::size_t s = 0; s < result.sentences.size(); ++s)
        if (!result.sentences[s].uncertain())
            placed.push_back(s);
    if (placed.empty())
        return std::nullopt;
    const std::unique_ptr<SpeechDecoder> scorer = SpeechDecoder::open(SpeechDecoder::Scoring::AgainstEverySound, error);
    if (!scorer)
        return std::nullopt;
    ForcedAligner aligner(*scorer);
    std::vector<double> fits;
    const std::size_t checks = std::min(kCheckedSentences, placed.size());
    for (std::size_t c = 0; c < checks; ++c) {
        const std::size_t s = placed[c * placed.size() / checks];
        const auto first = std::size_t(result.spoken.firstToken[s]);
        const auto last = std::size_t(result.spoken.firstToken[s + 1]);
        const qint64 from = qint64(result.words[first].beginMs) * kSpeechRate / 1000;
        const qint64 to = std::min<qint64>(qint64(pcm.size()), qint64(result.words[last - 1].endMs) * kSpeechRate / 1000);
        if (to <= from)
            continue;
        const auto sounds = pcm.subspan(std::size_t(from), std::size_t(to - from));
        const std::vector<TextToken> tokens(result.spoken.tokens.begin() + long(first), result.spoken.tokens.begin() + long(last));
        QString ignored;
        const auto words = aligner.align(sounds, tokens, ignored);
        if (!words)
            continue;
        double score = 0;
        int frames = 0;
        for (const WordTiming& w : *words) {
            const int wordFrames = std::max(1, (w.endMs - w.beginMs) / kSpeechFrameMs);
            // A word left out counts as explaining its share of the sounds not at all.
            score += (w.found ? w.score : kUnfoundWordScore) * wordFrames;
            frames += wordFrames;
        }
        fits.push_back(score / std::max(frames, 1));
    }
    if (fits.empty())
        return std::nullopt;
    std::nth_element(fits.begin(), fits.begin() + long(fits.size() / 2), fits.end());
    return fits[fits.size() / 2];
}

} // namespace

int SentenceAlignment::uncertainCount() const
{
    return int(std::count_if(sentences.begin(), sentences.end(), [](const SentenceTiming& s) { return s.uncertain(); }));
}

std::vector<SentenceTiming> PlaceSentences(const SpokenSentences& spoken, const std::vector<WordTiming>& words,
                                           const SpeechPauses& pauses)
{
    const std::size_t count = spoken.firstToken.empty() ? 0 : spoken.firstToken.size() - 1;
    const int length = pauses.lengthMs();
    std::vector<Placed> placed(count);
    for (std::size_t s = 0; s < count; ++s) {
        const int first = spoken.firstToken[s];
        const int last = spoken.firstToken[s + 1];
        Placed& p = placed[s];
        p.found = last > first && std::all_of(words.begin() + first, words.begin() + last,
                                              [](const WordTiming& w) { return w.found; });
        if (!p.found)
            continue;
        p.firstSound = words[std::size_t(first)].beginMs;
        p.firstWordEnd = words[std::size_t(first)].endMs;
        p.lastWordStart = words[std::size_t(last - 1)].beginMs;
        p.lastSound = words[std::size_t(last - 1)].endMs;
        const double seconds = std::max(p.lastSound - p.firstSound, 1) / 1000.0;
        const double rate = SpokenLetters(spoken, s) / seconds;
        p.confidence = rate >= kSlowestRate && rate <= kFastestRate ? 1.0 : kSpreadConfidence;
    }

    // Sentences placed by the alignment share the pauses between them; one
    // with no placed neighbour on a side takes the pause on that side.
    std::vector<SentenceTiming> out(count);
    for (std::size_t s = 0; s < count; ++s) {
        const Placed& p = placed[s];
        if (!p.found)
            continue;
        const bool before = s > 0 && placed[s - 1].found;
        const bool after = s + 1 < count && placed[s + 1].found;
        if (!before) {
            const auto pause = BestPause(pauses, p.firstSound - kPauseReachMs, p.firstWordEnd, p.firstSound, p.firstSound);
            out[s].beginMs = pause ? BeginIn(*pause) : std::max(0, p.firstSound - kLeadMs);
        }
        if (!after) {
            const auto pause = BestPause(pauses, p.lastWordStart, p.lastSound + kPauseReachMs, p.lastSound, p.lastSound);
            out[s].endMs = pause ? EndIn(*pause) : std::min(length, p.lastSound + kTailMs);
            continue;
        }
        const Placed& next = placed[s + 1];
        const int from = std::max(p.firstWordEnd, p.lastWordStart - kPauseReachMs);
        const int to = std::min(next.lastWordStart, next.firstWordEnd + kPauseReachMs);
        // Each side takes the pause nearest its own words: sound between two
        // pauses (a breath, a tone between tracks) belongs to neither.
        const auto ending = BestPause(pauses, from, to, p.lastSound, p.lastSound);
        const auto beginning = BestPause(pauses, from, to, next.firstSound, next.firstSound);
        const auto shared = BestPause(pauses, from, to, p.lastSound, next.firstSound);
        if (ending && beginning && ending->beginMs <= beginning->beginMs) {
            out[s].endMs = EndIn(*ending);
            out[s + 1].beginMs = BeginIn(*beginning);
        } else if (shared) {
            out[s].endMs = EndIn(*shared);
            out[s + 1].beginMs = BeginIn(*shared);
        } else {
            const int middle = (p.lastSound + next.firstSound) / 2;
            out[s].endMs = out[s + 1].beginMs = std::max(p.lastSound, std::min(middle, next.firstSound));
            placed[s].confidence *= kNoPauseFactor;
            placed[s + 1].confidence *= kNoPauseFactor;
        }
    }
    for (std::size_t s = 0; s < count; ++s)
        out[s].confidence = placed[s].found ? placed[s].confidence : kMissingConfidence;

    // The rest go between the sure ones, by the length of their text.
    std::size_t s = 0;
    while (s < count) {
        if (!out[s].uncertain()) {
            ++s;
            continue;
        }
        std::size_t end = s;
        while (end < count && out[end].uncertain())
            ++end;
        const int from = s > 0 ? out[s - 1].endMs : 0;
        const int to = end < count ? out[end].beginMs : length;
        Spread(spoken, pauses, s, end, from, std::max(from, to), out);
        for (std::size_t u = s; u < end; ++u)
            out[u].confidence = std::min(out[u].confidence, kSpreadConfidence);
        s = end;
    }
    return out;
}

std::optional<SentenceAlignment> AlignSentences(std::span<const int16_t> pcm, const QStringList& sentences,
                                                SpeechDecoder& decoder, QString& error,
                                                const AlignmentProgress& progress)
{
    SentenceAlignment result;
    result.spoken = SpokenTokensOf(sentences);
    ForcedAligner aligner(decoder);
    aligner.allowSkipping(result.spoken.firstToken, kSentenceSkipProbability);
    std::optional<std::vector<WordTiming>> words = aligner.align(pcm, result.spoken.tokens, error, progress);
    if (!words)
        return std::nullopt;
    result.words = std::move(*words);
    result.sentences = PlaceSentences(result.spoken, result.words, SpeechPauses(pcm));

    const auto found = std::count_if(result.sentences.begin(), result.sentences.end(),
                                     [](const SentenceTiming& t) { return t.confidence > kMissingConfidence; });
    if (sentences.isEmpty() || double(found) < kMinFoundShare * double(sentences.size())) {
        error = QStringLiteral("the text does not match the recording: %1 of its %2 sentences were found in it")
                    .arg(found)
                    .arg(sentences.size());
        return std::nullopt;
    }
    const std::optional<double> fit = TextFit(pcm, result, error);
    if (fit && *fit < kMismatchScore) {
        error = QStringLiteral("the text does not match the recording: its words explain the sounds no better than "
                               "another text would");
        return std::nullopt;
    }
    return result;
}
