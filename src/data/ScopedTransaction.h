#pragma once

#include <QSqlDatabase>

// Rolls back the transaction if the object goes out of scope before Commit()
// succeeded, so an interrupted write leaves the old rows. Used on the thread
// that owns the connection.
class ScopedTransaction {
public:
    explicit ScopedTransaction(QSqlDatabase& db) : m_db(db), m_open(db.transaction()) {}
    ~ScopedTransaction()
    {
        if (m_open)
            m_db.rollback();
    }
    ScopedTransaction(const ScopedTransaction&) = delete;
    ScopedTransaction& operator=(const ScopedTransaction&) = delete;

    bool IsOpen() const { return m_open; }

    bool Commit()
    {
        if (!m_open || !m_db.commit())
            return false;
        m_open = false;
        return true;
    }

private:
    QSqlDatabase& m_db;
    bool m_open;
};
