#include "CommandLine.h"

#include <cstdio>

int UsageError(const QString& message)
{
    std::fprintf(stderr, "veltra-course: %s\nTry 'veltra-course --help'.\n", message.toUtf8().constData());
    return ExitUsage;
}

int Failure(const QString& message)
{
    std::fprintf(stderr, "veltra-course: %s\n", message.toUtf8().constData());
    return ExitFailed;
}

int Failure(const char* key, const QString& message)
{
    return Failure(QStringLiteral("[%1] %2").arg(QLatin1String(key), message));
}

void Print(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
}

void PrintLine(const QString& line)
{
    Print(line + QLatin1Char('\n'));
    std::fflush(stdout);
}

void PrintProgress(int step, int steps, const QString& key, const QString& detail)
{
    QString line = QStringLiteral("[%1/%2] %3").arg(step).arg(steps).arg(key);
    if (!detail.isEmpty())
        line += QStringLiteral(": ") + detail;
    PrintLine(line);
}

bool TakeOption(QStringList& args, const QString& name, QString& value, QString& error)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return false;
    if (at + 1 >= args.size()) {
        error = QStringLiteral("%1 needs a value").arg(name);
        return false;
    }
    value = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

bool TakeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

bool ParseInt(const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok, 10);
    return ok;
}
