#include "data/LessonDataSet.h"

#include "data/LessonTableModel.h"
#include "data/ScopedTransaction.h"

#include <QItemSelectionModel>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

std::optional<RowSet> LoadRows(const QSqlDatabase& db, const QString& statement,
                               const QVariantList& binds, bool keyed, QString* error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    bool ok = query.prepare(statement);
    if (ok) {
        for (const QVariant& value : binds)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok) {
        if (error)
            *error = query.lastError().text();
        return std::nullopt;
    }
    RowSet result;
    const QSqlRecord record = query.record();
    const int first = keyed ? 1 : 0;
    for (int i = first; i < record.count(); ++i)
        result.fields.append(record.fieldName(i));
    while (query.next()) {
        QVector<QVariant> row;
        row.reserve(record.count() - first);
        for (int i = first; i < record.count(); ++i)
            row.append(query.value(i));
        result.rows.append(std::move(row));
        if (keyed)
            result.rowIds.append(query.value(0).toLongLong());
    }
    if (query.lastError().isValid()) {
        if (error)
            *error = query.lastError().text();
        return std::nullopt;
    }
    return result;
}

TLessonDataSet::TLessonDataSet(QObject* parent)
    : QObject(parent), m_model(new LessonTableModel(*this)),
      m_selection(new QItemSelectionModel(m_model, this))
{
    m_model->setParent(this);
    connect(m_selection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_syncing && current.isValid() && current.row() != m_row)
                    MoveTo(current.row());
            });
}

TLessonDataSet::~TLessonDataSet()
{
    // Gone before the rows they read, so no late signal reaches a half-destroyed set.
    delete m_selection;
    delete m_model;
}

void TLessonDataSet::Assign(RowSet rows)
{
    m_model->BeginReset();
    m_fields = std::move(rows.fields);
    m_rows = std::move(rows.rows);
    m_rowIds = std::move(rows.rowIds);
    m_buffer.clear();
    m_visible.clear();
    for (int i = 0; i < m_rows.size(); ++i)
        m_visible.append(i);
    m_filtered = false;
    RebuildColumnDecoders();
    m_row = m_visible.isEmpty() ? -1 : 0;
    m_eof = m_bof = m_visible.isEmpty();
    m_model->EndReset();
    SetState(State::Browse);
    SyncSelection();
    emit CurrentRowChanged(m_row);
}

void TLessonDataSet::SetWriteTarget(const QString& connectionName, const QString& table)
{
    m_connection = connectionName;
    m_table = table;
}

int TLessonDataSet::FieldIndex(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TLessonDataSet::SetCursor(int row, bool eof, bool bof)
{
    const bool moved = row != m_row;
    m_row = row;
    m_eof = eof;
    m_bof = bof;
    if (moved) {
        SyncSelection();
        emit CurrentRowChanged(m_row);
    }
}

void TLessonDataSet::SyncSelection()
{
    m_syncing = true;
    if (m_row >= 0 && m_model->columnCount() > 0)
        m_selection->setCurrentIndex(m_model->index(m_row, 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_selection->clear();
    m_syncing = false;
}

void TLessonDataSet::First()
{
    if (!LeaveEditing())
        return;
    const bool empty = m_visible.isEmpty();
    SetCursor(empty ? -1 : 0, empty, true);
}

void TLessonDataSet::Last()
{
    if (!LeaveEditing())
        return;
    const bool empty = m_visible.isEmpty();
    SetCursor(RecordCount() - 1, true, empty);
}

void TLessonDataSet::Next()
{
    if (!LeaveEditing())
        return;
    if (m_row + 1 < RecordCount())
        SetCursor(m_row + 1, false, false);
    else
        m_eof = true;
}

void TLessonDataSet::Prior()
{
    if (!LeaveEditing())
        return;
    if (m_row > 0)
        SetCursor(m_row - 1, false, false);
    else
        m_bof = true;
}

bool TLessonDataSet::MoveTo(int row)
{
    if (row < 0 || row >= RecordCount() || !LeaveEditing()) {
        SyncSelection();  // a view that tried to move shows the real row again
        return false;
    }
    SetCursor(row, false, false);
    return true;
}

bool TLessonDataSet::Locate(const QString& field, const QVariant& value)
{
    const int column = FieldIndex(field);
    if (column < 0)
        return false;
    bool ok = false;
    const double number = value.toDouble(&ok);
    for (int row = 0; row < RecordCount(); ++row) {
        const QVariant stored = Value(row, column);
        bool storedOk = false;
        const double storedNumber = stored.toDouble(&storedOk);
        const bool same = (ok && storedOk) ? storedNumber == number
                                           : !stored.isNull() && stored.toString() == value.toString();
        if (same)
            return MoveTo(row);
    }
    return false;
}

const QVector<QVariant>* TLessonDataSet::VisibleRow(int row) const
{
    if (row < 0 || row >= RecordCount())
        return nullptr;
    if (row == m_row && (m_state == State::Edit || m_state == State::Insert))
        return &m_buffer;
    return &m_rows.at(m_visible.at(row));
}

QVariant TLessonDataSet::Value(int row, int column) const
{
    const QVector<QVariant>* values = VisibleRow(row);
    if (!values || column < 0 || column >= values->size())
        return {};
    return values->at(column);
}

QString TLessonDataSet::Text(int row, int column) const
{
    if (column < 0 || column >= m_columnDecoders.size())
        return {};
    const QVariant stored = Value(row, column);
    const FieldDecoder& decoder = m_columnDecoders.at(column);
    return decoder ? decoder(stored) : stored.toString();
}

QVariant TLessonDataSet::FieldValue(const QString& field) const
{
    return Value(m_row, FieldIndex(field));
}

QString TLessonDataSet::FieldText(const QString& field) const
{
    return Text(m_row, FieldIndex(field));
}

void TLessonDataSet::SetFieldDecoder(const QString& field, FieldDecoder decoder)
{
    m_decoders.insert(field.toUpper(), std::move(decoder));
    RebuildColumnDecoders();
    if (RecordCount() > 0)
        emit m_model->dataChanged(m_model->index(0, 0),
                                  m_model->index(RecordCount() - 1, m_model->columnCount() - 1));
}

void TLessonDataSet::RebuildColumnDecoders()
{
    m_columnDecoders.clear();
    for (const QString& field : m_fields)
        m_columnDecoders.append(m_decoders.value(field.toUpper()));
}

void TLessonDataSet::SetFieldFontFamily(const QString& field, const QString& family)
{
    if (family.isEmpty())
        m_fontFamilies.remove(field.toUpper());
    else
        m_fontFamilies.insert(field.toUpper(), family);
    if (RecordCount() > 0)
        emit m_model->dataChanged(m_model->index(0, 0),
                                  m_model->index(RecordCount() - 1, m_model->columnCount() - 1));
}

QString TLessonDataSet::FieldFontFamily(int column) const
{
    if (column < 0 || column >= m_fields.size())
        return {};
    return m_fontFamilies.value(m_fields.at(column).toUpper());
}

void TLessonDataSet::ResetVisible(bool filtered, const QString& field, const QString& text)
{
    const int column = FieldIndex(field);
    m_model->BeginReset();
    m_visible.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!filtered || (column >= 0 && m_rows.at(i).at(column).toString().contains(text, Qt::CaseInsensitive)))
            m_visible.append(i);
    }
    m_filtered = filtered;
    m_row = -1;  // so the cursor move below is announced
    m_model->EndReset();
    const bool empty = m_visible.isEmpty();
    SetCursor(empty ? -1 : 0, empty, true);
    if (empty)
        emit CurrentRowChanged(-1);
}

void TLessonDataSet::SetFilterContains(const QString& field, const QString& text)
{
    if (LeaveEditing())
        ResetVisible(true, field, text);
}

void TLessonDataSet::ClearFilter()
{
    if (LeaveEditing())
        ResetVisible(false);
}

void TLessonDataSet::SetState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit StateChanged(state);
}
