#include "Diagnostics.h"

QString Diagnostics::Entry::text() const
{
    QString location = where.file;
    if (where.line > 0)
        location += QLatin1Char(':') + QString::number(where.line);
    const QLatin1String kindText = kind == Kind::Error ? QLatin1String("error") : QLatin1String("warning");
    return QStringLiteral("%1: %2: %3").arg(location, kindText, message);
}

void Diagnostics::error(const SourceLine& where, const QString& message)
{
    m_entries.push_back({Kind::Error, where, message});
    ++m_errors;
}

void Diagnostics::warning(const SourceLine& where, const QString& message)
{
    m_entries.push_back({Kind::Warning, where, message});
}
