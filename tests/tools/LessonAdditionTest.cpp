// A new lesson written straight into a data folder, without the tool's
// reading and aligning around it.
#include "CourseRows.h"
#include "LessonAddition.h"

#include "audio/Container.h"
#include "data/Schema.h"
#include "data/SqliteConnection.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every row `statement` gives, each its values in order.
QList<QVariantList> RowsOf(const QString& dataDir, const QString& statement)
{
    QList<QVariantList> rows;
    SqliteConnection connection(QStringLiteral("test-rows"));
    if (!connection.open(dataDir + QStringLiteral("/qor.db"), SqliteConnection::Open::ReadOnly))
        return rows;
    QSqlQuery query(connection.database());
    query.exec(statement);
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        rows << row;
    }
    return rows;
}

// A recording left in the book's folder by a lesson that is no longer in the
// catalogue takes no lesson number away, and gives its place to the new one.
TEST(LessonAddition, WritesRowsAndReplacesARecordingOfNoLesson)
{
    QTemporaryDir dir;
    const QString dataDir = dir.path();
    {
        SqliteConnection connection(QStringLiteral("test-schema"));
        ASSERT_TRUE(connection.open(dataDir + QStringLiteral("/qor.db"), SqliteConnection::Open::Create));
        ASSERT_TRUE(CreateSchema(connection.database()));
    }
    ASSERT_TRUE(QDir(dataDir).mkpath(QStringLiteral("qor2")));
    QFile stale(dataDir + QStringLiteral("/qor2/1.qor"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(PackContainer("stale"));
    stale.close();

    NewLesson lesson;
    lesson.book = 2;
    lesson.title = QStringLiteral("It's nine.");
    lesson.sentences = {{QStringLiteral("It's nine."), QStringLiteral("九点了。")}, {QStringLiteral("Go."), QString()}};
    lesson.spans = {{500, 1200}, {1600, 2100}};
    lesson.words = {{QStringLiteral("nine"), QStringLiteral("num. 九"), QStringLiteral("naɪn"), QString(), {}}};
    lesson.wordSounds = {{22050, std::vector<int16_t>(2205, 100)}};
    lesson.recording = "mp3 bytes";
    QString error;
    ASSERT_EQ(AddLesson(dataDir, lesson, error), 1) << error.toStdString();

    EXPECT_EQ(UnpackContainerFile(dataDir + QStringLiteral("/qor2/1.qor")), QByteArray("mp3 bytes"));
    const auto wav = UnpackContainerFile(dataDir + QStringLiteral("/qor2/1.qow"));
    ASSERT_TRUE(wav);
    EXPECT_TRUE(wav->startsWith("RIFF"));
    // Nothing staged is left behind.
    EXPECT_EQ(QDir(dataDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              QStringList({"qor.db", "qor2"}));
    EXPECT_EQ(QDir(dataDir + QStringLiteral("/qor2")).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({"1.qor", "1.qow"}));

    // Never studied, the title's translation empty text rather than NULL.
    EXPECT_EQ(RowsOf(dataDir, QStringLiteral("Select FID, FBook, FLesson, FBeginID, FEndID, FEnglish, typeof(FChinese), "
                                             "FStudyCount, typeof(FLastTime) From tblContent")),
              QList<QVariantList>({{1, 2, 1, 1, 2, QStringLiteral("It's nine. "), QStringLiteral("text"), 0,
                                    QStringLiteral("null")}}));
    EXPECT_EQ(RowsOf(dataDir, QStringLiteral("Select FID, FEnglish, FChinese, FBeginPos, FEndPos From tblQor2")),
              QList<QVariantList>({{1, QStringLiteral("It's nine."), EncipherField(QStringLiteral("九点了。")), 500, 1200},
                                   {2, QStringLiteral("Go."), EncipherField(QString()), 1600, 2100}}));
    EXPECT_EQ(RowsOf(dataDir, QStringLiteral("Select FID, FBook, FLesson, FEnglish, FChinese, FPS, FInfo From tblQor")),
              QList<QVariantList>({{1, 2, 1, QStringLiteral("nine"), EncipherField(QStringLiteral("num. 九")),
                                    EncipherField(QStringLiteral("naɪn")), EncipherField(QString())}}));
    EXPECT_EQ(RowsOf(dataDir, QStringLiteral("Select FContentID, FExplain From tblExplain")),
              QList<QVariantList>({{1, EncipherField(QString())}}));
}

} // namespace
