#include "data/SqliteConnection.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace {

QString UniqueName(const QString& purpose)
{
    static std::atomic<unsigned> counter{0};
    QString name;
    do
        name = QStringLiteral("%1-%2").arg(purpose).arg(++counter);
    while (QSqlDatabase::contains(name));
    return name;
}

} // namespace

SqliteConnection::SqliteConnection(const QString& purpose) : m_name(UniqueName(purpose)) {}

SqliteConnection::~SqliteConnection()
{
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool SqliteConnection::open(const QString& path, Open how)
{
    Q_ASSERT(!m_db.isValid());
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    switch (how) {
    case Open::Existing:
        // SQLite makes a missing file unless its name, as a URI, says not to.
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        m_db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                             QStringLiteral("?mode=rw"));
        break;
    case Open::ReadOnly:
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        m_db.setDatabaseName(path);
        break;
    case Open::Create:
        m_db.setDatabaseName(path);
        break;
    }
    if (!m_db.open()) {
        m_error = m_db.lastError();
        return false;
    }
    // SQLite reads the file only when asked something; a file of another
    // kind would otherwise pass for an empty database until then.
    {
        QSqlQuery probe(m_db);
        if (probe.exec(QStringLiteral("Select count(*) From sqlite_master")))
            return true;
        m_error = probe.lastError();
    }
    m_db.close();
    return false;
}
