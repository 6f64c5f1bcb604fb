#include "ImportedTables.h"

#include "data/Schema.h"
#include "data/ScopedTransaction.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

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
        : m_access(access), m_db(db), m_stop(stop), m_error(error)
    {
    }

    // One table: rows go in through a prepared statement, values bound as
    // they came, so text stays text, integers integers and NULL NULL.
    TablesWritten copy(const SchemaTable& table, TableCount& count)
    {
        QStringList marks;
        for (qsizetype i = 0; i < table.fields.size(); ++i)
            marks.append(QStringLiteral("?"));
        QSqlQuery insert(m_db);
        if (!insert.prepare(QStringLiteral("Insert Into %1(%2) Values(%3)")
                                .arg(table.name, table.fields.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))))
            return WriteFailure(insert.lastError(), m_error);
        std::optional<TablesWritten> stopped;
        qint64 stored = 0;
        const bool read = m_access.readTable(table.name, table.fields, [&](const QVariantList& values) {
            ++count.read;
            for (qsizetype i = 0; i < values.size(); ++i)
                insert.bindValue(int(i), values[i]);
            if (!insert.exec())
                stopped = WriteFailure(insert.lastError(), m_error);
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
    QSqlDatabase& m_db;
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
    const QString connection = QStringLiteral("veltra-course-import-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    TablesWritten written = TablesWritten::WriteFailed;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QString schemaError;
        if (!db.open())
            written = WriteFailure(db.lastError(), error);
        else if (!CreateSchema(db, &schemaError))
            // A commit that failed (a full disk, most likely) left its reason with the connection.
            written = db.lastError().isValid() ? WriteFailure(db.lastError(), error)
                                               : (error = schemaError, TablesWritten::WriteFailed);
        else
            written = CopyAll(access, db, tableDone, stop, error);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return written;
}
