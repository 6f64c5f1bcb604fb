#include "speech/ForcedAligner.h"

#include "speech/PhoneSpelling.h"
#include "speech/SpeechDecoder.h"

#include <pocketsphinx.h>
#include <sphinxbase/fsg_model.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr qint64 kSamplesPerFrame = kSpeechRate / 1000 * kSpeechFrameMs;
// A window of this many seconds is decoded at a time; words ending in its
// last seconds are decoded again at the start of the next one, where they
// have their context on both sides.
constexpr int kWindowSeconds = 60;
constexpr int kGuardSeconds = 10;
// A pause this long (frames) after a word is a good place to start a window.
constexpr int kRestartPauseFrames = 10;
// How many more tokens than the average speaking rate predicts a window's
// grammar holds, so a fast stretch still fits.
constexpr double kTokenSlack = 1.6;
constexpr int kExtraTokens = 12;

struct FsgDeleter {
    void operator()(fsg_model_t* fsg) const { fsg_model_free(fsg); }
};
using FsgPtr = std::unique_ptr<fsg_model_t, FsgDeleter>;

bool IsFiller(const char* word)
{
    return word[0] == '<' || word[0] == '[';
}

// The dictionary word without its alternative's number: "new(2)" → "new".
QString BaseWord(const char* word)
{
    QString w = QString::fromUtf8(word);
    const qsizetype paren = w.indexOf(QLatin1Char('('));
    return paren > 0 ? w.left(paren) : w;
}

// The token sequence first..first+count as a grammar: boundary state j lies
// before token first+j; each reading of a token is a chain of its spoken
// words from one boundary to the next.
FsgPtr BuildGrammar(logmath_t* lmath, const std::vector<TextToken>& tokens, int first, int count, bool endAnywhere,
                    const std::vector<int>& skipUnits, double skipProbability)
{
    int inner = 0;
    for (int t = first; t < first + count; ++t)
        for (const QStringList& reading : tokens[t].readings)
            inner += int(reading.size()) - 1;
    const int boundaries = count + 1;
    const int states = boundaries + inner + (endAnywhere ? 1 : 0);
    FsgPtr fsg(fsg_model_init("veltra-align", lmath, 1.0f, states));
    fsg->start_state = 0;
    fsg->final_state = endAnywhere ? states - 1 : count;

    int next = boundaries;
    for (int j = 0; j < count; ++j) {
        const TextToken& token = tokens[first + j];
        const int logp = logmath_log(lmath, 1.0 / double(token.readings.size()));
        for (const QStringList& reading : token.readings) {
            int from = j;
            for (qsizetype w = 0; w < reading.size(); ++w) {
                const int to = w + 1 == reading.size() ? j + 1 : next++;
                const int wid = fsg_model_word_add(fsg.get(), reading[w].toUtf8().constData());
                fsg_model_trans_add(fsg.get(), from, to, w == 0 ? logp : 0, wid);
                from = to;
            }
        }
    }
    bool skips = false;
    for (std::size_t u = 0; skipProbability > 0 && u + 1 < skipUnits.size(); ++u) {
        if (skipUnits[u] >= first && skipUnits[u + 1] <= first + count && skipUnits[u + 1] > skipUnits[u]) {
            fsg_model_null_trans_add(fsg.get(), skipUnits[u] - first, skipUnits[u + 1] - first,
                                     logmath_log(lmath, skipProbability));
            skips = true;
        }
    }
    if (endAnywhere) {
        for (int j = 1; j <= count; ++j)
            fsg_model_null_trans_add(fsg.get(), j, fsg->final_state, 0);
    }
    if (skips || endAnywhere)
        glist_free(fsg_model_null_trans_closure(fsg.get(), nullptr));
    return fsg;
}

} // namespace

struct ForcedAligner::Segment {
    int token = -1;  // -1 for a pause or a noise
    int firstFrame = 0;
    int lastFrame = 0;
    long score = 0;   // summed over the token's words
    struct Word {
        int firstFrame, lastFrame, score;
    };
    std::vector<Word> words;
};

bool ForcedAligner::prepareWords(const std::vector<TextToken>& tokens, QString& error)
{
    for (const TextToken& token : tokens) {
        for (const QStringList& reading : token.readings) {
            for (const QString& word : reading) {
                if (!m_decoder.phonesOf(word).isEmpty())
                    continue;
                const QString phones = GuessedPhones(word);
                if (phones.isEmpty() || !m_decoder.addWord(word, phones)) {
                    error = QStringLiteral("no pronunciation can be found for \"%1\"").arg(token.text);
                    return false;
                }
            }
        }
    }
    return true;
}

std::vector<ForcedAligner::Segment> ForcedAligner::decode(std::span<const int16_t> pcm,
                                                          const std::vector<TextToken>& tokens, int first, int count,
                                                          bool endAnywhere)
{
    ps_decoder_t* ps = m_decoder.handle();
    FsgPtr fsg = BuildGrammar(ps_get_logmath(ps), tokens, first, count, endAnywhere, m_skipUnits, m_skipProbability);
    // The search keeps its own reference to the grammar.
    if (ps_set_fsg(ps, "veltra-align", fsg.get()) < 0 || ps_set_search(ps, "veltra-align") < 0)
        return {};
    if (ps_start_utt(ps) < 0)
        return {};
    ps_process_raw(ps, pcm.data(), pcm.size(), FALSE, TRUE);
    ps_end_utt(ps);
    if (!ps_get_hyp(ps, nullptr))
        return {};

    // The decoded words follow the grammar, so walking the tokens in order
    // finds which token each word (or run of words) spells.
    struct Word {
        QString text;
        int sf, ef;
        int ascr;
    };
    std::vector<Word> words;
    std::vector<Segment> segments;
    for (ps_seg_t* seg = ps_seg_iter(ps); seg; seg = ps_seg_next(seg)) {
        int sf = 0, ef = 0, ascr = 0, lscr = 0, lback = 0;
        ps_seg_frames(seg, &sf, &ef);
        ps_seg_prob(seg, &ascr, &lscr, &lback);
        // A null transition taken (a word left out, the end reached early).
        if (std::strcmp(ps_seg_word(seg), "(NULL)") == 0)
            continue;
        if (IsFiller(ps_seg_word(seg)))
            words.push_back({QString(), sf, ef, ascr});
        else
            words.push_back({BaseWord(ps_seg_word(seg)), sf, ef, ascr});
    }
    std::size_t w = 0;
    for (int t = first; t < first + count && w < words.size(); ++t) {
        while (w < words.size() && words[w].text.isEmpty()) {
            segments.push_back({-1, words[w].sf, words[w].ef, words[w].ascr, {}});
            ++w;
        }
        bool matched = false;
        for (const QStringList& reading : tokens[t].readings) {
            // A pause may fall between the words of a reading (or its
            // phones, the closure of a "t"); it belongs to the token.
            std::vector<std::size_t> at;
            for (std::size_t h = w; h < words.size() && at.size() < std::size_t(reading.size()); ++h) {
                if (words[h].text.isEmpty() && !at.empty())
                    continue;
                if (words[h].text != reading[qsizetype(at.size())])
                    break;
                at.push_back(h);
            }
            matched = at.size() == std::size_t(reading.size());
            if (matched) {
                Segment s{t, words[at.front()].sf, words[at.back()].ef, 0, {}};
                for (const std::size_t h : at) {
                    s.score += words[h].ascr;
                    s.words.push_back({words[h].sf, words[h].ef, words[h].ascr});
                }
                segments.push_back(s);
                w = at.back() + 1;
                break;
            }
        }
        if (!matched && m_skipProbability <= 0)
            break;
    }
    for (; w < words.size(); ++w) {
        if (words[w].text.isEmpty())
            segments.push_back({-1, words[w].sf, words[w].ef, words[w].ascr, {}});
    }
    return segments;
}

std::optional<std::vector<WordTiming>> ForcedAligner::align(std::span<const int16_t> pcm,
                                                            const std::vector<TextToken>& tokens, QString& error,
                                                            const AlignmentProgress& progress)
{
    if (!prepareWords(tokens, error))
        return std::nullopt;
    const int n = int(tokens.size());
    std::vector<WordTiming> timings(tokens.size());
    const qint64 total = qint64(pcm.size());
    const double tokensPerSample = double(n) / double(std::max<qint64>(total, 1));
    const qint64 window = qint64(kWindowSeconds) * kSpeechRate;

    auto commit = [&](const Segment& s, qint64 offset) {
        WordTiming& t = timings[std::size_t(s.token)];
        t.found = true;
        const auto msAt = [offset](int frame) { return int((offset + frame * kSamplesPerFrame) * 1000 / kSpeechRate); };
        t.beginMs = msAt(s.firstFrame);
        t.endMs = msAt(s.lastFrame + 1);
        t.score = double(s.score) / double(s.lastFrame - s.firstFrame + 1);
        t.parts.clear();
        for (const Segment::Word& w : s.words)
            t.parts.push_back({msAt(w.firstFrame), msAt(w.lastFrame + 1), double(w.score)});
    };

    qint64 pos = 0;
    int next = 0;
    while (next < n && pos < total) {
        const qint64 end = std::min(total, pos + window);
        const bool last = end == total;
        const int count = last ? n - next
                               : std::min(n - next, int(std::ceil(double(end - pos) * tokensPerSample * kTokenSlack)) +
                                                        kExtraTokens);
        const auto part = pcm.subspan(std::size_t(pos), std::size_t(end - pos));
        std::vector<Segment> segments = decode(part, tokens, next, count, !last || count < n - next);
        // A recording that ends before its text does (or goes astray near
        // the end) still gives the words it holds.
        if (last && segments.empty())
            segments = decode(part, tokens, next, count, true);

        if (last) {
            for (const Segment& s : segments)
                if (s.token >= 0)
                    commit(s, pos);
            break;
        }
        // Keep the words that end before the guard, up to the last one a
        // pause follows: the next window starts in that pause.
        const int limit = int((end - pos) / kSamplesPerFrame) - kGuardSeconds * 1000 / kSpeechFrameMs;
        int keep = -1;
        int fallback = -1;
        for (std::size_t i = 0; i < segments.size(); ++i) {
            const Segment& s = segments[i];
            if (s.token < 0 || s.lastFrame >= limit)
                continue;
            fallback = int(i);
            if (i + 1 < segments.size() && segments[i + 1].token < 0 &&
                segments[i + 1].lastFrame - segments[i + 1].firstFrame + 1 >= kRestartPauseFrames)
                keep = int(i);
        }
        if (keep < 0)
            keep = fallback;
        if (keep < 0) {
            // Nothing of the text here (music, a long silence): look further on.
            pos += window / 2;
        } else {
            for (int i = 0; i <= keep; ++i)
                if (segments[std::size_t(i)].token >= 0)
                    commit(segments[std::size_t(i)], pos);
            next = segments[std::size_t(keep)].token + 1;
            pos += qint64(segments[std::size_t(keep)].lastFrame + 1) * kSamplesPerFrame;
        }
        if (progress && !progress(pos, total)) {
            error = QStringLiteral("stopped");
            return std::nullopt;
        }
    }
    if (progress && !progress(total, total)) {
        error = QStringLiteral("stopped");
        return std::nullopt;
    }
    return timings;
}
