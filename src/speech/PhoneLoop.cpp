#include "speech/PhoneLoop.h"

#include "speech/SpeechDecoder.h"

#include <pocketsphinx.h>

std::optional<double> FreePhoneScore(SpeechDecoder& decoder, std::span<const int16_t> pcm)
{
    ps_decoder_t* ps = decoder.handle();
    if (!decoder.activatePhoneLoop() || ps_start_utt(ps) < 0)
        return std::nullopt;
    ps_process_raw(ps, pcm.data(), pcm.size(), FALSE, TRUE);
    ps_end_utt(ps);
    // The phones' acoustic scores alone: the phone language model only
    // steers the search.
    long total = 0;
    int frames = 0;
    for (ps_seg_t* seg = ps_seg_iter(ps); seg; seg = ps_seg_next(seg)) {
        int sf = 0, ef = 0, ascr = 0, lscr = 0, lback = 0;
        ps_seg_frames(seg, &sf, &ef);
        ps_seg_prob(seg, &ascr, &lscr, &lback);
        total += ascr;
        frames += ef - sf + 1;
    }
    if (frames <= 0)
        return std::nullopt;
    return double(total) / double(frames);
}
