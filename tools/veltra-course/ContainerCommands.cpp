#include "ContainerCommands.h"

#include "CommandLine.h"
#include "audio/Container.h"
#include "data/WholeFile.h"

#include <QFile>

int RunPack(QStringList args)
{
    if (args.size() != 2)
        return UsageError(QStringLiteral("pack needs IN and OUT"));
    QFile in(args.at(0));
    if (!in.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("cannot read %1: %2").arg(args.at(0), in.errorString()));
    const QByteArray audio = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return Failure(QStringLiteral("cannot read %1: %2").arg(args.at(0), in.errorString()));
    const QByteArray container = PackContainer(audio);
    if (container.isEmpty())
        return Failure(QStringLiteral("%1 is too large for a container (2 GB at most)").arg(args.at(0)));
    // OUT is replaced only once the new content is complete.
    if (const QString reason = SaveWholeFile(args.at(1), container); !reason.isEmpty())
        return Failure(QStringLiteral("cannot write %1: %2").arg(args.at(1), reason));
    return ExitOk;
}

int RunUnpack(QStringList args)
{
    if (args.size() != 2)
        return UsageError(QStringLiteral("unpack needs IN and OUT"));
    if (!QFile::exists(args.at(0)))
        return Failure(QStringLiteral("%1 does not exist").arg(args.at(0)));
    const std::optional<QByteArray> audio = UnpackContainerFile(args.at(0));
    if (!audio)
        return Failure(QStringLiteral("%1 cannot be unpacked: not a container, or damaged").arg(args.at(0)));
    if (const QString reason = SaveWholeFile(args.at(1), *audio); !reason.isEmpty())
        return Failure(QStringLiteral("cannot write %1: %2").arg(args.at(1), reason));
    return ExitOk;
}
