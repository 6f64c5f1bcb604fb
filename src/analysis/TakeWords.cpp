#include "analysis/TakeWords.h"

#include "audio/WavFile.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpeechSamples.h"

#include <algorithm>

namespace {

std::vector<int16_t> HeardVoice(const PcmAudio& voice, double longestSeconds)
{
    std::vector<int16_t> pcm = SpeechSamplesOf(voice);
    pcm.resize(std::min(pcm.size(), std::size_t(longestSeconds * kSpeechRate)));
    return pcm;
}

} // namespace

TakeWordChecker::TakeWordChecker() = default;
TakeWordChecker::~TakeWordChecker() = default;

TakeWordCheck TakeWordChecker::Check(const PcmAudio& model, const PcmAudio& take, const QString& text,
                                     double longestSeconds, std::stop_token stop)
{
    TakeWordCheck result;
    QString error;
    if (!m_opened) {
        m_opened = true;
        m_checker = PronunciationChecker::Open(error);
        if (!m_checker) {
            result.note = SpeechDecoder::ModelInstalled()
                ? QStringLiteral("语音识别模型无法载入，所以不能判断哪些词读得不清楚。")
                : QStringLiteral("没有安装语音识别模型（Debian 软件包 pocketsphinx-en-us），所以不能判断哪些词读得不清楚。");
            return result;
        }
    }
    if (!m_checker)
        return result;

    // A learner reads one sentence again and again: its model is placed once.
    const ModelKey key{text, model.Frames(), model.sampleRate};
    if (key != m_placedKey) {
        m_placedKey = key;
        m_inModel.clear();
        if (model.Frames() > 0) {
            if (auto placed = m_checker->Place(HeardVoice(model, longestSeconds), text, error, stop))
                m_inModel = std::move(*placed);
            else if (stop.stop_requested())
                m_placedKey = {};  // cut short: says nothing about this model
        }
    }
    if (stop.stop_requested())
        return result;
    if (!m_inModel.empty() && std::all_of(m_inModel.begin(), m_inModel.end(), [](const CheckedWord& w) { return w.found; })) {
        for (const CheckedWord& w : m_inModel)
            result.modelWords.push_back({w.text, w.beginMs / 1000.0, w.endMs / 1000.0});
    }
    const std::optional<std::vector<CheckedWord>> checked =
        m_checker->Check(HeardVoice(take, longestSeconds), text, error, stop);
    if (!checked) {
        result.note = QStringLiteral("这次跟读里没有听出要读的词，无法判断哪些词读得不清楚。");
        return result;
    }
    for (std::size_t i = 0; i < checked->size(); ++i) {
        const CheckedWord& c = (*checked)[i];
        TakeWord w;
        w.text = c.text;
        w.clarity = c.clarity;
        w.takeBegin = c.beginMs / 1000.0;
        w.takeEnd = c.endMs / 1000.0;
        if (i < m_inModel.size() && m_inModel[i].found) {
            w.inModel = true;
            w.modelBegin = m_inModel[i].beginMs / 1000.0;
            w.modelEnd = m_inModel[i].endMs / 1000.0;
        }
        result.words.push_back(w);
    }
    return result;
}
