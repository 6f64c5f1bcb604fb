#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

// An Access file (Jet 3 or Jet 4, with or without a database password or
// RC4-encoded pages) opened read-only through libmdb. Values come out as
// stored: integers as qint64, date-times as their day count since
// 1899-12-30 (a double), doubles as doubles, Booleans as 0/1, text and memos
// whole as QString (Jet 3 text read as GB18030), NULL as a null QVariant.
//
// libmdb trusts the file it reads; a damaged or hostile file may crash it.
// Only the veltra-course process links this, never the study program.
// Single-threaded: libmdb keeps per-file state and reads the environment.
class AccessFile {
public:
    using RowHandler = std::function<bool(const QVariantList& values)>;

    AccessFile();
    ~AccessFile();
    AccessFile(const AccessFile&) = delete;
    AccessFile& operator=(const AccessFile&) = delete;

    bool open(const QString& path, QString& error);
    // The same from memory (the fuzzer's way in); keeps its own copy.
    bool openBuffer(const QByteArray& bytes, QString& error);

    // Names of the tables in the catalogue, system tables included.
    QStringList tables() const;

    // Hands every live row of `table` (matched without regard to case) to
    // `handler`, with the values of `fields` in that order. Stops when the
    // handler returns false. `storedRows` receives the row count the
    // table's definition states. False with `error` when the table or a
    // field is missing, a field has a type this reader does not take, or
    // a value is damaged.
    bool readTable(const QString& table, const QStringList& fields, const RowHandler& handler,
                   qint64& storedRows, QString& error);

private:
    struct File;
    bool start(QString& error);
    std::unique_ptr<File> m_file;
};
