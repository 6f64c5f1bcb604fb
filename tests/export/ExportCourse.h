#pragma once

// A small course for export tests, in a temporary data folder:
//   book 1 lesson 1 (FID 1): two sentences, the first at 1.5 s; a recording
//   book 1 lesson 2 (FID 2): one sentence; no recording
//   book 1 lesson 3 (FID 3): no sentences
//   book 1 lesson 4 (FID 4): one sentence; a recording
//   book 2 lesson 1 (FID 5): sentences at 3 725 004 and 6 000 000 ms; a recording

#include "audio/Container.h"
#include "data/DataPath.h"
#include "data/TestLessonDb.h"
#include "data/TextCodec.h"
#include "export/ExportFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

class ExportCourse {
public:
    ExportCourse()
    {
        db.Lesson(1, 1, 1, 1, 2, "Excuse me!", QString::fromUtf8("对不起！"))
            .Lesson(2, 1, 2, 3, 3, "Is this your...?", QString::fromUtf8("这是你的……吗？"))
            .Lesson(3, 1, 3, 10, 12, "Empty", QString())
            .Lesson(4, 1, 4, 4, 4, "Sorry, sir.", QString::fromUtf8("对不起，先生。"))
            .Lesson(5, 2, 1, 1, 2, "A private conversation", QString::fromUtf8("私人谈话"));
        db.Sentence(1, 1, "Excuse me!", QString::fromUtf8("对不起！"), 1500, 3000)
            .Sentence(1, 2, "Yes?", QString::fromUtf8("什么事？"), 3250, 4000)
            .Sentence(1, 3, "Is this your handbag?", QString::fromUtf8("这是您的手提包吗？"), 0, 1000)
            .Sentence(1, 4, "Sorry, sir.", QString::fromUtf8("对不起，先生。"), 700, 1500)
            .Sentence(2, 1, "Last week I went to the theatre.", QString::fromUtf8("上星期我去看戏。"), 3725004, 3730000)
            .Sentence(2, 2, "I had a very good seat.", QString::fromUtf8("我的座位很好。"), 6000000, 6002000);
        for (const auto& [book, lesson] : {std::pair{1, 1}, {1, 4}, {2, 1}}) {
            const QString path = db.DataDir() + QLatin1Char('/') + LessonContainerPath(book, lesson);
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            const QByteArray container = PackContainer(Recording(book, lesson));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(container) == container.size());
        }
    }

    // What a lesson's container holds; the export copies it without looking.
    static QByteArray Recording(int book, int lesson)
    {
        return QStringLiteral("ID3 recording of book %1 lesson %2 ").arg(book).arg(lesson).toLatin1().repeated(500);
    }

    // The expected lyric file of book 1 lesson 1, lesson-style tags.
    static QByteArray BookOneLessonOneLrc()
    {
        return TextToGb18030(QString::fromUtf8("[ti:Veltra精读]\r\n[al:Quillmere]\r\n[by:Veltra精读]\r\n"
                                               "[00:00:000]Excuse me!对不起！\r\n[00:03:250]Yes?什么事？\r\n"));
    }

    TestLessonDb db;
};
