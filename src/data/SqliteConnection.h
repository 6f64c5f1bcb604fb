#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// One QSQLITE connection to a file, under a name no other connection of the
// process has, owned by this object. The destructor closes it and removes
// the name from Qt's list only after its own handle is released, so Qt never
// finds the connection still in use; copies of database() and queries on it
// must be gone by then (declare them after this object).
//
// Used on the thread that opened it; any number may exist at once.
class SqliteConnection {
public:
    enum class Open {
        Existing,  // reads and writes a file that must exist; never makes one
        ReadOnly,  // reads a file that must exist
        Create,    // reads and writes, making the file when it is missing
    };

    // `purpose` begins the connection's name, for whoever reads one of Qt's warnings.
    explicit SqliteConnection(const QString& purpose);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Opens `path`, once. A missing folder, a missing file (unless made) and
    // a file that is not an SQLite database are refused here rather than at
    // the first query; error() then holds the driver's reason.
    bool open(const QString& path, Open how);

    const QString& name() const { return m_name; }
    // Invalid until open() was called.
    QSqlDatabase& database() { return m_db; }
    const QSqlDatabase& database() const { return m_db; }
    const QSqlError& error() const { return m_error; }

private:
    QString m_name;
    QSqlDatabase m_db;
    QSqlError m_error;
};
