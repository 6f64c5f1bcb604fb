#include "CheckCommand.h"

#include "CommandLine.h"
#include "audio/WavFile.h"
#include "speech/PronunciationCheck.h"
#include "speech/SpeechSamples.h"
#include "speech/SpokenText.h"

int RunCheck(QStringList args)
{
    QString text;
    QString error;
    if (!TakeOption(args, QStringLiteral("--text"), text, error))
        return UsageError(error.isEmpty() ? QStringLiteral("check needs --text SENTENCE") : error);
    if (args.size() != 1 || args.front().startsWith(QLatin1String("--")))
        return UsageError(QStringLiteral("check needs exactly one take: check TAKE --text SENTENCE"));
    if (SpokenTokens(text).empty())
        return UsageError(QStringLiteral("the sentence given with --text has no words"));
    const QString path = args.front();

    const std::optional<PcmAudio> audio = DecodeWavFile(path);
    if (!audio || audio->Frames() == 0)
        return Failure(QStringLiteral("%1 is not a recording the program can read").arg(path));
    std::unique_ptr<PronunciationChecker> checker = PronunciationChecker::Open(error);
    if (!checker)
        return Failure(error);
    const std::vector<int16_t> pcm = SpeechSamplesOf(*audio);
    const std::optional<std::vector<CheckedWord>> words = checker->Check(pcm, text, error);
    if (!words)
        return Failure(QStringLiteral("%1: %2").arg(path, error));
    QString out;
    for (const CheckedWord& w : *words) {
        out += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                   .arg(w.text)
                   .arg(w.beginMs)
                   .arg(w.endMs)
                   .arg(w.score, 0, 'f', 1)
                   .arg(ClarityName(w.clarity));
    }
    Print(out);
    return ExitOk;
}
