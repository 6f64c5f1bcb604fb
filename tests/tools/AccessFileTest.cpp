#include "AccessFile.h"
#include "support/Jet4Writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QList<QVariantList> ReadAll(AccessFile& file, const QString& table, const QStringList& fields, QString& error)
{
    QList<QVariantList> rows;
    qint64 stored = -1;
    const bool ok = file.readTable(table, fields, [&](const QVariantList& v) {
        rows.append(v);
        return true;
    }, stored, error);
    EXPECT_TRUE(ok) << error.toStdString();
    EXPECT_EQ(stored, rows.size());
    return rows;
}

// Every kind of value a course database holds, at the sizes where the
// storage changes: compressed and UTF-16 text, memos inline, on one page
// and over several, and NULL everywhere a value may be missing.
JetTable AllKinds()
{
    JetTable t{QStringLiteral("tblKinds"),
               {{"FLong", JetType::Long}, {"FShort", JetType::Integer}, {"FByte", JetType::Byte},
                {"FDouble", JetType::Double}, {"FDate", JetType::DateTime}, {"FText", JetType::Text},
                {"FMemo", JetType::Memo}, {"FFlag", JetType::Bool}},
               {},
               {}};
    t.rows = {
        {-2147483647 - 1, -32768, 255, 444.555, 27293.5, QString::fromUtf8("第一册 ˈæpl"), QStringLiteral("short"), true},
        {2147483647, 32767, 0, -0.25, 45000.75, QStringLiteral("ASCII only"), QString(1900, QChar(0x4e2d)), false},
        {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
        {7, 1, 2, 3.0, 1.0, QString(), QStringLiteral("A1B2").repeated(3000) + QStringLiteral("END"), true},
        {8, 0, 0, 0.0, 0.0, QString(255, QLatin1Char('z')), QString(), false},
    };
    return t;
}

QVariant Expected(const QVariant& written, JetType type)
{
    if (type == JetType::Bool)
        return qint64(written.toBool() ? 1 : 0);
    if (written.isNull())
        return QVariant();
    switch (type) {
    case JetType::Long:
    case JetType::Integer:
    case JetType::Byte: return written.toLongLong();
    case JetType::Double:
    case JetType::DateTime: return written.toDouble();
    default: return written.toString();
    }
}

TEST(AccessFile, ReadsEveryValueAsWritten)
{
    const JetTable table = AllKinds();
    JetTable other{QStringLiteral("Other"), {{"N", JetType::Long}}, {{1}, {2}, {3}}, {1}};
    JetOptions password;
    password.password = QStringLiteral("marblelantern");
    JetOptions encoded = password;
    encoded.pageKey = 0x1b2c3d4e;
    for (const JetOptions& options : {JetOptions{}, password, encoded}) {
        SCOPED_TRACE(options.pageKey);
        AccessFile file;
        QString error;
        ASSERT_TRUE(file.openBuffer(WriteJet4({table, other}, options), error)) << error.toStdString();
        EXPECT_EQ(file.tables(), QStringList({"MSysObjects", "tblKinds", "Other"}));

        QStringList fields;
        for (const JetColumn& c : table.columns)
            fields.append(c.name.toUpper());  // found without regard to case
        const QList<QVariantList> rows = ReadAll(file, QStringLiteral("TBLKINDS"), fields, error);
        ASSERT_EQ(rows.size(), table.rows.size());
        for (qsizetype r = 0; r < rows.size(); ++r)
            for (qsizetype c = 0; c < fields.size(); ++c) {
                const QVariant want = Expected(table.rows[r][c], table.columns[c].type);
                EXPECT_EQ(rows[r][c].isNull(), want.isNull()) << "row " << r << " field " << c;
                EXPECT_EQ(rows[r][c], want) << "row " << r << " field " << c;
            }

        // A row Access marked deleted stays deleted.
        EXPECT_EQ(ReadAll(file, QStringLiteral("Other"), {"N"}, error), (QList<QVariantList>{{1}, {3}}));
    }
}

TEST(AccessFile, MissingTablesFieldsAndDamageAreReportedNotRead)
{
    JetTable t{QStringLiteral("T"), {{"Memo", JetType::Memo}, {"Ole", JetType::Ole}},
               {{QStringLiteral("x").repeated(5000), QVariant()}}, {}};
    QByteArray bytes = WriteJet4({t});
    AccessFile file;
    QString error;
    ASSERT_TRUE(file.openBuffer(bytes, error));
    qint64 stored = 0;
    auto none = [](const QVariantList&) { return true; };
    EXPECT_FALSE(file.readTable(QStringLiteral("Nope"), {"Memo"}, none, stored, error));
    EXPECT_EQ(error, QStringLiteral("the database has no table Nope"));
    EXPECT_FALSE(file.readTable(QStringLiteral("T"), {"Memo", "Absent"}, none, stored, error));
    EXPECT_EQ(error, QStringLiteral("table T has no field Absent"));
    EXPECT_FALSE(file.readTable(QStringLiteral("T"), {"Ole"}, none, stored, error));
    EXPECT_TRUE(error.contains(QStringLiteral("a type the import does not take"))) << error.toStdString();

    // The memo's chain of long-value pages, bent back onto its own first page.
    const int first = int(bytes.indexOf("LVAL") / 4096);
    ASSERT_GT(first, 0);
    const int rowStart = int(uchar(bytes[first * 4096 + 14]) | uchar(bytes[first * 4096 + 15]) << 8);
    const quint32 self = quint32(first) << 8;
    std::memcpy(bytes.data() + first * 4096 + rowStart, &self, 4);
    AccessFile bent;
    ASSERT_TRUE(bent.openBuffer(bytes, error));
    EXPECT_FALSE(bent.readTable(QStringLiteral("T"), {"Memo"}, none, stored, error));
    EXPECT_TRUE(error.contains(QStringLiteral("the database is damaged"))) << error.toStdString();

    for (const QByteArray& junk : {QByteArray(), QByteArray(100, 'x'), bytes.left(4096), QByteArray(8192, '\0')}) {
        AccessFile broken;
        EXPECT_FALSE(broken.openBuffer(junk, error));
        EXPECT_FALSE(error.isEmpty());
    }
}

// Files written by Access itself (../shared/fixtures/access, see its README).
TEST(AccessFile, ReadsFilesWrittenByAccess)
{
    const QString dir = QStringLiteral(VELTRA_SHARED_DIR "/fixtures/access");
    if (!QFileInfo::exists(dir + QStringLiteral("/jet4-types.mdb")))
        GTEST_SKIP() << "no shared Access fixtures beside the repository (" << dir.toStdString() << ")";
    const struct {
        const char* file;
        QStringList fields;
        QList<QVariantList> rows;
    } cases[] = {
        {"jet4-types.mdb",
         {"A", "B", "C", "D", "E", "F", "G", "H", "I"},
         {{"abcdefg", "hijklmnop", 2, 222, 333333333, 444.555, 27293.0, 3.5, 1},
          {"a", "b", 0, 0, 0, 0.0, 29932.0, 0.0, 0}}},
        {"jet4-password.mdb", {"ID", "Data"}, {{1, "One"}, {2, "Two"}, {3, "Three"}}},
        {"jet4-rc4.mdb", {"ID", "col1", "col2"}, {{1, "hello", 0}, {2, "world", 42}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        AccessFile file;
        QString error;
        ASSERT_TRUE(file.open(dir + QLatin1Char('/') + QLatin1String(c.file), error)) << error.toStdString();
        const QList<QVariantList> rows = ReadAll(file, QStringLiteral("Table1"), c.fields, error);
        ASSERT_EQ(rows.size(), c.rows.size());
        for (qsizetype r = 0; r < rows.size(); ++r)
            for (qsizetype f = 0; f < c.fields.size(); ++f) {
                const QVariant& want = c.rows[r][f];
                if (want.typeId() == QMetaType::Double)
                    EXPECT_DOUBLE_EQ(rows[r][f].toDouble(), want.toDouble()) << r << " " << f;
                else
                    EXPECT_EQ(rows[r][f].toString(), want.toString()) << r << " " << f;
            }
    }
}

} // namespace
