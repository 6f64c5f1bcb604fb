#include "speech/SpeechDecoder.h"

#include <QFileInfo>

#include <pocketsphinx.h>

namespace {

QString AcousticModel()
{
    return SpeechDecoder::ModelFolder() + QStringLiteral("/en-us");
}

QString Dictionary()
{
    return SpeechDecoder::ModelFolder() + QStringLiteral("/cmudict-en-us.dict");
}

} // namespace

QString SpeechDecoder::ModelFolder()
{
    const QString configured = qEnvironmentVariable("VELTRA_SPEECH_MODEL");
    return configured.isEmpty() ? QStringLiteral("/usr/share/pocketsphinx/model/en-us") : configured;
}

bool SpeechDecoder::ModelInstalled()
{
    return QFileInfo(AcousticModel() + QStringLiteral("/mdef")).isFile() && QFileInfo(Dictionary()).isFile();
}

std::unique_ptr<SpeechDecoder> SpeechDecoder::open(Scoring scoring, QString& error, Between between)
{
    if (!ModelInstalled()) {
        error = QStringLiteral("the speech model is not installed in %1 (it comes with the Debian package "
                               "pocketsphinx-en-us)")
                    .arg(ModelFolder());
        return nullptr;
    }
    const QByteArray hmm = QFile::encodeName(AcousticModel());
    const QByteArray dict = QFile::encodeName(Dictionary());
    std::unique_ptr<SpeechDecoder> decoder(new SpeechDecoder);
    // The wide beams keep a forced path alive through speech the model hears
    // badly (narrower ones lose it at a comma now and then; they save little
    // time on a grammar this small). The front end keeps every frame (no
    // silence or noise removal), so frame numbers stay times in the
    // recording, and dithers, since the digital silence of synthesised or
    // edited recordings throws the cepstral mean off; a fixed seed keeps the
    // result the same from run to run.
    const char* allSenones = scoring == Scoring::AgainstEverySound ? "yes" : "no";
    // The default chance of a noise or babble filler, or one so small that
    // none is ever chosen.
    const char* fillerChance = between == Between::NoiseAndBabble ? "1e-8" : "1e-30";
    decoder->m_config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.constData(), "-dict", dict.constData(),
                                    "-compallsen", allSenones, "-allphone_ci", "yes", "-beam", "1e-150", "-wbeam", "1e-150", "-pbeam", "1e-150",
                                    "-fillprob", fillerChance, "-remove_silence", "no", "-remove_noise", "no", "-dither", "yes", "-seed", "1", "-logfn", "/dev/null", nullptr);
    if (decoder->m_config)
        decoder->m_decoder = ps_init(decoder->m_config);
    if (!decoder->m_decoder) {
        error = QStringLiteral("the speech model in %1 cannot be loaded").arg(ModelFolder());
        return nullptr;
    }
    return decoder;
}

SpeechDecoder::~SpeechDecoder()
{
    if (m_decoder)
        ps_free(m_decoder);
    if (m_config)
        cmd_ln_free_r(m_config);
}

QString SpeechDecoder::phonesOf(const QString& word) const
{
    char* phones = ps_lookup_word(m_decoder, word.toUtf8().constData());
    if (!phones)
        return {};
    const QString out = QString::fromUtf8(phones);
    ckd_free(phones);
    return out;
}

bool SpeechDecoder::addWord(const QString& word, const QString& phones)
{
    return ps_add_word(m_decoder, word.toUtf8().constData(), phones.toUtf8().constData(), FALSE) >= 0;
}
