#include "ImportedTables.h"

#include "data/Schema.h"
#include "data/ScopedTransaction.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// One table: rows go in through a prepared statement, values bound as they
// came, so text stays text, integers integers and NULL NULL.
bool CopyTable(AccessFile& access, QSqlDatabase& db, const SchemaTable& table, TableCount& count, QString& error)
{
    QStringList marks;
    for (qsizetype i = 0; i < table.fields.size(); ++i)
        marks.append(QStringLiteral("?"));
    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("Insert Into %1(%2) Values(%3)")
                            .arg(table.name, table.fields.join(QLatin1Char(',')), marks.join(QLatin1Char(','))))) {
        error = insert.lastError().text();
        return false;
    }
    QString insertError;
    qint64 stored = 0;
    const bool read = access.readTable(table.name, table.fields, [&](const QVariantList& values) {
        ++count.read;
        for (qsizetype i = 0; i < values.size(); ++i)
            insert.bindValue(int(i), values[i]);
        if (!insert.exec()) {
            insertError = QStringLiteral("cannot write a row of %1: %2").arg(table.name, insert.lastError().text());
            return false;
        }
        return true;
    }, stored, error);
    if (!insertError.isEmpty())
        error = insertError;
    if (!read || !insertError.isEmpty())
        return false;
    if (stored != count.read) {
        error = QStringLiteral("table %1 states %2 rows but %3 could be read; the database is damaged")
                    .arg(table.name)
                    .arg(stored)
                    .arg(count.read);
        return false;
    }
    return true;
}

qint64 RowCount(QSqlDatabase& db, const QString& table)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("Select Count(*) From %1").arg(table)) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

bool CopyAll(AccessFile& access, QSqlDatabase& db, const std::function<void(const TableCount&)>& tableDone,
             QString& error)
{
    QList<TableCount> counts;
    {
        ScopedTransaction transaction(db);
        if (!transaction.IsOpen()) {
            error = db.lastError().text();
            return false;
        }
        for (const SchemaTable& table : SchemaTables()) {
            TableCount count{table.name};
            if (!CopyTable(access, db, table, count, error))
                return false;
            count.written = RowCount(db, table.name);
            counts.append(count);
            tableDone(count);
        }
        if (!transaction.Commit()) {
            error = db.lastError().text();
            return false;
        }
    }
    for (const TableCount& count : counts) {
        const qint64 written = RowCount(db, count.table);
        if (written != count.read) {
            error = QStringLiteral("table %1: %2 rows read but %3 written").arg(count.table).arg(count.read).arg(written);
            return false;
        }
    }
    return true;
}

} // namespace

bool WriteImportedTables(AccessFile& access, const QString& path,
                         const std::function<void(const TableCount&)>& tableDone, QString& error)
{
    const QString connection = QStringLiteral("veltra-course-import-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool written = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open())
            error = QStringLiteral("cannot write %1: %2").arg(path, db.lastError().text());
        else if (!CreateSchema(db, &error))
            error = QStringLiteral("cannot write %1: %2").arg(path, error);
        else
            written = CopyAll(access, db, tableDone, error);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return written;
}
