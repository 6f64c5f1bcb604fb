#include "PlayCommand.h"

#include "CommandLine.h"
#include "audio/LessonAudio.h"
#include "data/DMUnit.h"

#include <QEventLoop>
#include <QTimer>

namespace {

// What the device has been handed but not yet sounded; waited for before
// closing so the sentence's last syllable is not cut.
constexpr int kDrainMs = 200;

} // namespace

int RunPlay(QStringList args)
{
    QString speedText;
    QString error;
    const bool speedGiven = TakeOption(args, QStringLiteral("--speed"), speedText, error);
    const bool keepPitchGiven = TakeFlag(args, QStringLiteral("--keep-pitch"));
    if (!error.isEmpty())
        return UsageError(error);
    if (args.size() != 3)
        return UsageError(QStringLiteral("play needs DATA_DIR, ID and SENTENCE"));
    int contentId = 0;
    int sentence = 0;
    int speed = 10;
    if (!ParseInt(args.at(1), contentId))
        return UsageError(QStringLiteral("ID must be a whole number: '%1'").arg(args.at(1)));
    if (!ParseInt(args.at(2), sentence) || sentence < 1)
        return UsageError(QStringLiteral("SENTENCE must be a number from 1: '%1'").arg(args.at(2)));
    if (speedGiven && (!ParseInt(speedText, speed) || speed < 8 || speed > 12))
        return UsageError(QStringLiteral("--speed must be 8 to 12: '%1'").arg(speedText));

    TDM dm(args.at(0));
    if (!dm.IsConnected())
        return Failure(QStringLiteral("the data folder '%1' cannot be opened").arg(args.at(0)));
    if (!dm.OpenLesson(contentId))
        return Failure(QStringLiteral("lesson %1 cannot be opened").arg(contentId));
    if (sentence > dm.adsQorSen.RecordCount())
        return UsageError(QStringLiteral("lesson %1 has %2 sentences").arg(contentId).arg(dm.adsQorSen.RecordCount()));
    if (!speedGiven)
        speed = dm.OptSpeed >= 8 && dm.OptSpeed <= 12 ? dm.OptSpeed : 10;

    const bool keepPitch = keepPitchGiven || dm.OptKeepPitch;
    LessonAudio audio;
    audio.ApplyKeepPitch(keepPitch);
    if (!audio.InitAudio() || !audio.OpenLessonAudio(dm.DataDir(), dm.CurBook, dm.CurLesson, speed))
        return Failure(QStringLiteral("the audio of lesson %1 cannot be played").arg(contentId));

    dm.adsQorSen.MoveTo(sentence - 1);
    const int beginMs = dm.adsQorSen.FieldValue(QStringLiteral("FBeginPos")).toInt();
    const int endMs = dm.adsQorSen.FieldValue(QStringLiteral("FEndPos")).toInt();
    Print(QStringLiteral("Lesson %1, sentence %2: %3..%4 ms at %5 %")
              .arg(contentId).arg(sentence).arg(beginMs).arg(endMs).arg(speed * 10)
          + (keepPitch ? QStringLiteral(", pitch kept\n") : QStringLiteral("\n")));

    QEventLoop loop;
    QObject::connect(&audio, &LessonAudio::speakDone, &loop, &QEventLoop::quit);
    // A span that ends with the recording is not reported: watch for it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (!audio.isPlaying())
            loop.quit();
    });
    audio.PlaySentence(beginMs, endMs, seaContinue);
    watch.start(50);
    loop.exec();
    watch.stop();
    QTimer::singleShot(kDrainMs, &loop, &QEventLoop::quit);
    loop.exec();
    return ExitOk;
}
