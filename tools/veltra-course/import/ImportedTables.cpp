#include "ImportedTables.h"

#include "CourseRows.h"

#include "data/Schema.h"
#include "data/ScopedTransaction.h"
#include "data/SqliteConnection.h"

#include <QSqlQuery>

#include <optional>

namespace {

constexpr int kSqliteFull = 13;

// A failed write to the new file, told apart by what the learner can do about it.
TablesWritten WriteFailure(const QSqlError& failure, QString& error)
{
    error = failure.text();
    // Extended result codes carry the primary one in their low byte.
    return (failure.nativeErrorCode().toInt() & 0xff) == kSqliteFull ? TablesWritten::DiskFull
                                                                      : TablesWritten::WriteFailed;
}

class TableCopier {
public:
    TableCopier(AccessFile& access, QSqlDatabase& db, const std::function<bool()>& stop, QString& error)
        : m_access(access), m_rows(db), m_stop(stop), m_error(error)
    {
    }

    // One table: rows go in as they came, so text stays text, integers
    // integers and NULL NULL.
    TablesWritten copy(const SchemaTable& table, TableCount& count)
    {
        std::optional<TablesWritten> stopped;
        qint64 stored = 0;
        const bool read = m_access.readTable(table.name, table.fields, [&](const QVariantList& values) {
            ++count.read;
            if (!m_rows.insert(table.name, values))
                stopped = WriteFailure(m_rows.lastError(), m_error);
            else if (m_stop && m_stop())
                stopped = TablesWritten::Stopped;
            return !stopped;
        }, stored, m_error);
        if (stopped)
            return *stopped;
        if (!read)
            return TablesWritten::ReadFailed;
        if (stored != count.read) {
            m_error = QStringLiteral("table %1 states %2 rows but %3 could be read; the database is damaged")
                          .arg(table.name)
                          .arg(stored)
                          .arg(count.read);
            return TablesWritten::ReadFailed;
        }
        return TablesWritten::Written;
    }

private:
    AccessFile& m_access;
    CourseRows m_rows;
    const std::function<bool()>& m_stop;
    QString& m_error;
};

qint64 RowCount(QSqlDatabase& db, const QString& table)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("Select Count(*) From %1").arg(table)) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

TablesWritten CopyAll(AccessFile& access, QSqlDatabase& db, const std::function<void(const TableCount&)>& tableDone,
                      const std::function<bool()>& stop, QString& error)
{
    QList<TableCount> counts;
    {
        ScopedTransaction transaction(db);
        if (!transaction.IsOpen())
            return WriteFailure(db.lastError(), error);
        {
            TableCopier copier(access, db, stop, error);
            for (const SchemaTable& table : SchemaTables()) {
                TableCount count{table.name};
                const TablesWritten copied = copier.copy(table, count);
                if (copied != TablesWritten::Written)
                    return copied;
                count.written = RowCount(db, table.name);
                counts.append(count);
                tableDone(count);
            }
        }
        if (!transaction.Commit())
            return WriteFailure(db.lastError(), error);
    }
    for (const TableCount& count : counts) {
        const qint64 written = RowCount(db, count.table);
        if (written != count.read) {
            error = QStringLiteral("table %1: %2 rows read but %3 written").arg(count.table).arg(count.read).arg(written);
            return TablesWritten::WriteFailed;
        }
    }
    return TablesWritten::Written;
}

} // namespace

TablesWritten WriteImportedTables(AccessFile& access, const QString& path,
                                  const std::function<void(const TableCount&)>& tableDone,
                                  const std::function<bool()>& stop, QString& error)
{
    SqliteConnection connection(QStringLiteral("veltra-course-import"));
    QSqlDatabase& db = connection.database();
    if (!connection.open(path, SqliteConnection::Open::Create))
        return WriteFailure(connection.error(), error);
    QString schemaError;
    if (!CreateSchema(db, &schemaError))
        // A commit that failed (a full disk, most likely) left its reason with the connection.
        return db.lastError().isValid() ? WriteFailure(db.lastError(), error)
                                        : (error = schemaError, TablesWritten::WriteFailed);
    return CopyAll(access, db, tableDone, stop, error);
}
