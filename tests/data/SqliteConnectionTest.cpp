#include "data/SqliteConnection.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Open = SqliteConnection::Open;

// A database file with one row in it, made through a connection of its own.
void MakeDatabase(const QString& path)
{
    SqliteConnection maker(QStringLiteral("test-maker"));
    ASSERT_TRUE(maker.open(path, Open::Create)) << maker.error().text().toStdString();
    QSqlQuery query(maker.database());
    ASSERT_TRUE(query.exec(QStringLiteral("Create Table t(x)")));
    ASSERT_TRUE(query.exec(QStringLiteral("Insert Into t Values (1)")));
}

// Qt's warnings while it lives, such as one about removing a connection
// that is still in use.
class QtWarnings {
public:
    QtWarnings() : m_previous(qInstallMessageHandler(&QtWarnings::record)) { seen().clear(); }
    ~QtWarnings() { qInstallMessageHandler(m_previous); }
    QtWarnings(const QtWarnings&) = delete;
    QtWarnings& operator=(const QtWarnings&) = delete;

    static QStringList& seen()
    {
        static QStringList messages;
        return messages;
    }

private:
    static void record(QtMsgType, const QMessageLogContext&, const QString& message) { seen().append(message); }
    QtMessageHandler m_previous;
};

// What each way of opening does with each kind of path, and that the
// connection is gone from Qt's list afterwards, opened or not, without a
// word from Qt.
TEST(SqliteConnection, OpensWhatItMayAndRefusesTheRest)
{
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("qor.db"));
    MakeDatabase(database);
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("This is not a database, just some text.\n").repeated(50));
    }
    // Characters a URI gives meaning to, and some that are not ASCII.
    const QString odd = dir.filePath(QStringLiteral("a?b#c%20d 词库.db"));
    MakeDatabase(odd);
    const QString missing = dir.filePath(QStringLiteral("missing.db"));
    const QString noFolder = dir.filePath(QStringLiteral("no/such/folder/qor.db"));

    const struct {
        const char* name;
        QString path;
        Open how;
        bool opens;
        bool writes;  // a row can be added
    } cases[] = {
        {"existing database", database, Open::Existing, true, true},
        {"existing database of an odd name", odd, Open::Existing, true, true},
        {"read-only database", database, Open::ReadOnly, true, false},
        {"created over a database", database, Open::Create, true, true},
        {"text as existing", text, Open::Existing, false, false},
        {"text read-only", text, Open::ReadOnly, false, false},
        {"text created over", text, Open::Create, false, false},
        {"missing file as existing", missing, Open::Existing, false, false},
        {"missing file read-only", missing, Open::ReadOnly, false, false},
        {"no folder", noFolder, Open::Create, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QtWarnings warnings;
        QString name;
        {
            SqliteConnection connection(QStringLiteral("test"));
            name = connection.name();
            EXPECT_EQ(connection.open(c.path, c.how), c.opens);
            EXPECT_TRUE(QSqlDatabase::connectionNames().contains(name));
            EXPECT_EQ(connection.error().text().isEmpty(), c.opens) << connection.error().text().toStdString();
            EXPECT_EQ(connection.database().isOpen(), c.opens);
            if (c.opens) {
                QSqlQuery query(connection.database());
                EXPECT_TRUE(query.exec(QStringLiteral("Select x From t")) && query.next());
                EXPECT_EQ(query.exec(QStringLiteral("Insert Into t Values (2)")), c.writes);
            }
        }
        EXPECT_FALSE(QSqlDatabase::connectionNames().contains(name));
        EXPECT_EQ(QtWarnings::seen(), QStringList());
    }
    // Nothing was made on the way: no missing file, no file named after part of a URI.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              QStringList({QStringLiteral("a?b#c%20d 词库.db"), QStringLiteral("notes.txt"), QStringLiteral("qor.db")}));
}

// Connections for one purpose at once, on one file, each with a name of its own.
TEST(SqliteConnection, NamesNeverRepeat)
{
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("qor.db"));
    MakeDatabase(database);
    SqliteConnection first(QStringLiteral("test"));
    SqliteConnection second(QStringLiteral("test"));
    EXPECT_NE(first.name(), second.name());
    ASSERT_TRUE(first.open(database, Open::Existing));
    ASSERT_TRUE(second.open(database, Open::ReadOnly));
    QSqlQuery query(second.database());
    EXPECT_TRUE(query.exec(QStringLiteral("Select x From t")) && query.next());
}

} // namespace
