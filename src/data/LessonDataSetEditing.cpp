// Edit, insert, post and delete of a writable TLessonDataSet.
#include "data/LessonDataSet.h"

#include "data/LessonTableModel.h"
#include "data/ScopedTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

QString Quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace

bool TLessonDataSet::Writable() const
{
    // Rows can only be written back when each one knows its rowid.
    return !m_table.isEmpty() && m_rowIds.size() == m_rows.size();
}

bool TLessonDataSet::Edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return true;
    if (m_state != State::Browse || !Writable() || m_row < 0) {
        m_lastError = QStringLiteral("This list cannot be edited now.");
        return false;
    }
    m_buffer = m_rows.at(m_visible.at(m_row));
    SetState(State::Edit);
    return true;
}

bool TLessonDataSet::Insert()
{
    if (m_state != State::Browse || !Writable()) {
        m_lastError = QStringLiteral("No row can be added to this list now.");
        return false;
    }
    const int row = RecordCount();
    m_model->BeginAppend(row);
    m_rows.append(QVector<QVariant>(m_fields.size()));
    m_rowIds.append(-1);
    m_visible.append(static_cast<int>(m_rows.size()) - 1);
    m_buffer = m_rows.last();
    m_state = State::Insert;  // announced below, once the cursor is on the new row
    m_model->EndAppend();
    m_insertReturnRow = m_row;
    SetCursor(row, false, false);
    emit StateChanged(m_state);
    return true;
}

bool TLessonDataSet::SetFieldValue(const QString& field, const QVariant& value)
{
    const int column = FieldIndex(field);
    if ((m_state != State::Edit && m_state != State::Insert) || column < 0)
        return false;
    m_buffer[column] = value;
    m_model->RowChanged(m_row);
    return true;
}

bool TLessonDataSet::WriteRow()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    ScopedTransaction transaction(db);
    QSqlQuery query(db);
    QStringList names;
    for (const QString& field : m_fields)
        names.append(Quoted(field));
    bool ok = transaction.IsOpen();
    if (ok && m_state == State::Insert) {
        const QString marks = QStringList(QVector<QString>(m_fields.size(), QStringLiteral("?"))).join(QLatin1Char(','));
        ok = query.prepare(QStringLiteral("Insert Into %1(%2) Values(%3)")
                               .arg(Quoted(m_table), names.join(QLatin1Char(',')), marks));
    } else if (ok) {
        ok = query.prepare(QStringLiteral("Update %1 Set %2=? Where rowid=?")
                               .arg(Quoted(m_table), names.join(QStringLiteral("=?,"))));
    }
    if (ok) {
        for (const QVariant& value : m_buffer)
            query.addBindValue(value);
        if (m_state == State::Edit)
            query.addBindValue(m_rowIds.at(m_visible.at(m_row)));
        ok = query.exec() && query.numRowsAffected() == 1;
    }
    const qint64 rowId = m_state == State::Insert ? query.lastInsertId().toLongLong() : 0;
    if (ok)
        ok = transaction.Commit();
    if (!ok) {
        m_lastError = query.lastError().isValid() ? query.lastError().text() : db.lastError().text();
        if (m_lastError.trimmed().isEmpty())
            m_lastError = QStringLiteral("The row could not be written.");
        return false;
    }
    if (m_state == State::Insert)
        m_rowIds[m_visible.at(m_row)] = rowId;
    return true;
}

bool TLessonDataSet::Post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return true;
    if (BeforePost)
        BeforePost(*this);
    if (!WriteRow())
        return false;
    m_rows[m_visible.at(m_row)] = m_buffer;
    m_buffer.clear();
    SetState(State::Browse);
    m_model->RowChanged(m_row);
    return true;
}

bool TLessonDataSet::SetStoredValue(int row, const QString& field, const QVariant& value)
{
    const int column = FieldIndex(field);
    if (row < 0 || row >= RecordCount() || column < 0 || m_state == State::Edit || m_state == State::Insert)
        return false;
    m_rows[m_visible.at(row)][column] = value;
    m_model->RowChanged(row);
    return true;
}

void TLessonDataSet::Cancel()
{
    if (m_state == State::Edit) {
        m_buffer.clear();
        SetState(State::Browse);
        m_model->RowChanged(m_row);
    } else if (m_state == State::Insert) {
        m_buffer.clear();
        m_state = State::Browse;
        RemoveVisibleRow(m_row);
        const int back = m_insertReturnRow >= 0 && m_insertReturnRow < RecordCount() ? m_insertReturnRow : RecordCount() - 1;
        SetCursor(back, RecordCount() == 0, RecordCount() == 0);
        emit StateChanged(m_state);
    }
}

bool TLessonDataSet::Delete()
{
    if (m_state == State::Insert) {
        Cancel();
        return true;
    }
    Cancel();
    if (m_state != State::Browse || !Writable() || m_row < 0) {
        m_lastError = QStringLiteral("There is no row to delete.");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    ScopedTransaction transaction(db);
    QSqlQuery query(db);
    bool ok = transaction.IsOpen() &&
              query.prepare(QStringLiteral("Delete From %1 Where rowid=?").arg(Quoted(m_table)));
    if (ok) {
        query.addBindValue(m_rowIds.at(m_visible.at(m_row)));
        ok = query.exec() && transaction.Commit();
    }
    if (!ok) {
        m_lastError = query.lastError().isValid() ? query.lastError().text() : db.lastError().text();
        return false;
    }
    const int row = m_row;
    RemoveVisibleRow(row);
    const bool empty = RecordCount() == 0;
    m_row = -1;  // announce the move even when the row number stays the same
    SetCursor(empty ? -1 : std::min(row, RecordCount() - 1), empty, empty);
    if (empty)
        emit CurrentRowChanged(-1);
    return true;
}

void TLessonDataSet::RemoveVisibleRow(int row)
{
    const int index = m_visible.at(row);
    m_model->BeginRemove(row);
    m_rows.remove(index);
    if (index < m_rowIds.size())
        m_rowIds.remove(index);
    m_visible.remove(row);
    for (int& i : m_visible) {
        if (i > index)
            --i;
    }
    m_model->EndRemove();
}

bool TLessonDataSet::LeaveEditing()
{
    return Post();
}
