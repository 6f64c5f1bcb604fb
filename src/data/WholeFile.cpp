#include "data/WholeFile.h"

#include <QSaveFile>

QString SaveWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that a write the disk cuts short is followed by one
    // that fails with the reason; a buffered file loses it on closing.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return file.errorString();
        done += written;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
