#include "data/Schema.h"

#include "data/ScopedTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

struct Column {
    const char* name;
    const char* type;
};

struct TableDef {
    QString name;
    QList<Column> columns;
};

QList<TableDef> Definitions()
{
    const QList<Column> sentence = {
        {"FID", "INTEGER"}, {"FEnglish", "TEXT"}, {"FChinese", "TEXT"},
        {"FBeginPos", "INTEGER"}, {"FEndPos", "INTEGER"}};
    QList<TableDef> defs = {
        {QStringLiteral("tblOptions"), {{"FOption", "TEXT"}, {"FValue", "TEXT"}}},
        {QStringLiteral("tblContent"),
         {{"FID", "INTEGER"}, {"FBook", "INTEGER"}, {"FLesson", "INTEGER"},
          {"FBeginID", "INTEGER"}, {"FEndID", "INTEGER"}, {"FEnglish", "TEXT"},
          {"FChinese", "TEXT"}, {"FStudyCount", "INTEGER"}, {"FLastTime", "REAL"}}},
    };
    for (int book = 1; book <= 4; ++book)
        defs.append({QStringLiteral("tblQor%1").arg(book), sentence});
    defs.append({QStringLiteral("tblQor"),
                 {{"FID", "INTEGER"}, {"FBook", "INTEGER"}, {"FLesson", "INTEGER"},
                  {"FEnglish", "TEXT"}, {"FChinese", "TEXT"}, {"FPS", "TEXT"},
                  {"FInfo", "TEXT"}}});
    defs.append({QStringLiteral("tblNote"), {{"FContentID", "INTEGER"}, {"FNote", "TEXT"}}});
    defs.append({QStringLiteral("tblExplain"),
                 {{"FContentID", "INTEGER"}, {"FExplain", "TEXT"}}});
    return defs;
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

const QList<SchemaTable>& SchemaTables()
{
    static const QList<SchemaTable> tables = [] {
        QList<SchemaTable> result;
        for (const TableDef& def : Definitions()) {
            SchemaTable table{def.name, {}};
            for (const Column& c : def.columns)
                table.fields.append(QString::fromLatin1(c.name));
            result.append(table);
        }
        return result;
    }();
    return tables;
}

bool CreateSchema(QSqlDatabase& db, QString* error)
{
    ScopedTransaction transaction(db);
    if (!transaction.IsOpen()) {
        SetError(error, db.lastError().text());
        return false;
    }
    QSqlQuery query(db);
    for (const TableDef& def : Definitions()) {
        QStringList columns;
        for (const Column& c : def.columns)
            columns.append(QStringLiteral("%1 %2").arg(QLatin1String(c.name), QLatin1String(c.type)));
        const QString statement = QStringLiteral("Create Table If Not Exists %1(%2)")
                                      .arg(def.name, columns.join(QStringLiteral(", ")));
        if (!query.exec(statement)) {
            SetError(error, query.lastError().text());
            return false;
        }
    }
    // Lookups by lesson and by sentence number are the program's hot paths.
    const char* const indexes[] = {
        "Create Index If Not Exists ixContentBook On tblContent(FBook, FLesson)",
        "Create Index If Not Exists ixQorLesson On tblQor(FBook, FLesson)",
        "Create Index If Not Exists ixNoteContent On tblNote(FContentID)",
        "Create Index If Not Exists ixExplainContent On tblExplain(FContentID)",
    };
    for (const char* statement : indexes) {
        if (!query.exec(QString::fromLatin1(statement))) {
            SetError(error, query.lastError().text());
            return false;
        }
    }
    if (!transaction.Commit()) {
        SetError(error, db.lastError().text());
        return false;
    }
    return true;
}

bool HasSchema(const QSqlDatabase& db, QString* error)
{
    QSqlQuery query(db);
    for (const SchemaTable& table : SchemaTables()) {
        // Naming the fields makes the driver check each of them.
        const QString statement = QStringLiteral("Select %1 From %2 Limit 0")
                                      .arg(table.fields.join(QLatin1Char(',')), table.name);
        if (!query.exec(statement)) {
            SetError(error, query.lastError().text());
            return false;
        }
    }
    return true;
}
