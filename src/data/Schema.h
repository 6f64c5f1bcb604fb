#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The tables of Data/qor.db. Column types as SQLite sees them:
//   tblOptions   FOption TEXT, FValue TEXT
//   tblContent   FID, FBook, FLesson, FBeginID, FEndID INTEGER; FEnglish, FChinese TEXT;
//                FStudyCount INTEGER; FLastTime REAL (days since 1899-12-30 plus
//                the fraction of the day, see ReviewSchedule.h; NULL = never)
//   tblQor1..4   FID INTEGER, FEnglish TEXT, FChinese TEXT (enciphered),
//                FBeginPos, FEndPos INTEGER (milliseconds into the lesson audio)
//   tblQor       FID, FBook, FLesson INTEGER; FEnglish TEXT; FChinese, FPS, FInfo
//                TEXT (enciphered)
//   tblNote      FContentID INTEGER, FNote TEXT
//   tblExplain   FContentID INTEGER, FExplain TEXT (enciphered)
// Plain text is UTF-8; enciphered text is upper-case hex of GB18030 bytes.
// Functions run on the thread that owns `db`.

struct SchemaTable {
    QString name;
    QStringList fields;
};

// Every table the program needs, with the fields it reads and writes.
const QList<SchemaTable>& SchemaTables();

// Creates whatever tables of the schema are missing (existing ones are left
// alone), in one transaction. On failure returns false and, when `error` is
// given, puts the driver's message there.
bool CreateSchema(QSqlDatabase& db, QString* error = nullptr);

// True when every table of the schema exists with all of its fields. A file
// that is not an SQLite database fails here too.
bool HasSchema(const QSqlDatabase& db, QString* error = nullptr);
