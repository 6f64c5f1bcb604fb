#pragma once

#include "audio/Container.h"
#include "audio/Mp3Decoder.h"
#include "support/MakeMp3.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

// A data folder holding lesson containers made at run time, with the full
// decode of each recording to compare played spans against.
struct LessonFixture {
    QTemporaryDir dir;

    QString dataDir() const { return dir.path() + QLatin1Char('/'); }

    // Writes `mp3` as lesson `lesson` of book 1.
    void addLesson(int lesson, const QByteArray& mp3)
    {
        QDir(dir.path()).mkpath(QStringLiteral("qor1"));
        QFile file(dir.filePath(QStringLiteral("qor1/%1.qor").arg(lesson)));
        if (file.open(QIODevice::WriteOnly))
            file.write(PackContainer(mp3));
    }

    // Every frame of `mp3`, decoded from start to end in one go.
    static std::vector<float> FullDecode(const QByteArray& mp3)
    {
        std::vector<float> all;
        auto decoder = Mp3Decoder::open(mp3);
        if (!decoder)
            return all;
        all.resize(static_cast<size_t>(decoder->lengthFrames() * decoder->channels()));
        const long got = decoder->read(all.data(), static_cast<long>(decoder->lengthFrames()));
        all.resize(static_cast<size_t>(got * decoder->channels()));
        return all;
    }
};
