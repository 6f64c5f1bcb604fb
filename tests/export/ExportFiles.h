#pragma once

#include <QDir>
#include <QFile>

// What an export left in a folder.

inline QByteArray FileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry, hidden ones (a left-over temporary file) included, by name.
inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}
