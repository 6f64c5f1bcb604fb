#include "speech/PhoneLoop.h"

#include "speech/SpeechDecoder.h"

#include <pocketsphinx.h>
#include <sphinxbase/fsg_model.h>

#include <memory>

namespace {

// The model's context-independent phones, as its dictionary spells them.
constexpr const char* kPhones[] = {"AA", "AE", "AH", "AO", "AW", "AY", "B",  "CH", "D",  "DH", "EH", "ER", "EY",
                                   "F",  "G",  "HH", "IH", "IY", "JH", "K",  "L",  "M",  "N",  "NG", "OW", "OY",
                                   "P",  "R",  "S",  "SH", "T",  "TH", "UH", "UW", "V",  "W",  "Y",  "Z",  "ZH"};
constexpr char kSearch[] = "veltra-phones";

} // namespace

QString PhoneLoop::PhoneWord(const QString& phone)
{
    return QStringLiteral("phone-") + phone.toLower();
}

bool PhoneLoop::Prepare(SpeechDecoder& decoder)
{
    for (const char* phone : kPhones) {
        const QString word = PhoneWord(QString::fromLatin1(phone));
        if (decoder.phonesOf(word).isEmpty() && !decoder.addWord(word, QString::fromLatin1(phone)))
            return false;
    }
    ps_decoder_t* ps = decoder.handle();
    logmath_t* lmath = ps_get_logmath(ps);
    // State 0 loops through every phone; the null step to state 1 ends it.
    std::unique_ptr<fsg_model_t, decltype(&fsg_model_free)> fsg(fsg_model_init(kSearch, lmath, 1.0f, 2), fsg_model_free);
    fsg->start_state = 0;
    fsg->final_state = 1;
    // Every phone as likely as any other and no cost to go on: the loop's
    // path is the acoustically best one, as it must be to measure against.
    for (const char* phone : kPhones)
        fsg_model_trans_add(fsg.get(), 0, 0, 0,
                            fsg_model_word_add(fsg.get(), PhoneWord(QString::fromLatin1(phone)).toLatin1().constData()));
    fsg_model_null_trans_add(fsg.get(), 0, 1, 0);
    // The search keeps its own reference to the grammar.
    return ps_set_fsg(ps, kSearch, fsg.get()) >= 0;
}

std::optional<PhoneLoop::Frames> PhoneLoop::Decode(SpeechDecoder& decoder, std::span<const int16_t> pcm)
{
    ps_decoder_t* ps = decoder.handle();
    if (ps_set_search(ps, kSearch) < 0 || ps_start_utt(ps) < 0)
        return std::nullopt;
    ps_process_raw(ps, pcm.data(), pcm.size(), FALSE, TRUE);
    ps_end_utt(ps);
    if (!ps_get_hyp(ps, nullptr))
        return std::nullopt;
    Frames frames;
    frames.score.assign(std::size_t(ps_get_n_frames(ps)), 0.0);
    for (ps_seg_t* seg = ps_seg_iter(ps); seg; seg = ps_seg_next(seg)) {
        int sf = 0, ef = 0, ascr = 0, lscr = 0, lback = 0;
        ps_seg_frames(seg, &sf, &ef);
        ps_seg_prob(seg, &ascr, &lscr, &lback);
        if (sf < 0 || ef < sf || std::size_t(ef) >= frames.score.size())
            continue;
        const char* word = ps_seg_word(seg);
        if (qstrncmp(word, "phone-", 6) == 0)
            frames.phoneFrames += ef - sf + 1;
        for (int f = sf; f <= ef; ++f)
            frames.score[std::size_t(f)] = double(ascr) / double(ef - sf + 1);
    }
    return frames;
}
