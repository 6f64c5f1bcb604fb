#pragma once

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

class LessonTableModel;
class QItemSelectionModel;

// The rows of one statement, held in memory (a lesson is small).
struct RowSet {
    QStringList fields;
    QVector<QVector<QVariant>> rows;
    QVector<qint64> rowIds;  // SQLite rowids, only when loaded with `keyed`
};

// Runs `statement` with `binds` (positional '?' values) on `db` and reads all
// rows. `keyed`: the statement's first column is the rowid, kept apart from
// the fields so the rows can be written back. nullopt on any failure, with
// the driver's message in `error` when given.
std::optional<RowSet> LoadRows(const QSqlDatabase& db, const QString& statement,
                               const QVariantList& binds, bool keyed, QString* error = nullptr);

// One lesson dataset: rows, a cursor, an optional contains-filter, display
// decoders per field and, for writable sets, edit/insert/post/delete.
//
// Cursor: First/Next/Prior/Last move it; Eof() is true for an empty set and
// after Next() on the last row (the cursor then stays on the last row); Bof()
// likewise for Prior() on the first row. Every move emits CurrentRowChanged,
// and Model()/SelectionModel() follow it: give every view the same pair
// (view->setModel(ds.Model()); view->setSelectionModel(ds.SelectionModel()))
// and all views share the one current row; clicking a row in a view moves the
// cursor.
//
// Row numbers are positions in the visible (filtered) rows, 0-based.
// GUI thread only, like the connection it reads.
class TLessonDataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    // Turns a stored value into the text shown for it.
    using FieldDecoder = std::function<QString(const QVariant& stored)>;

    explicit TLessonDataSet(QObject* parent = nullptr);
    ~TLessonDataSet() override;

    // Replaces the rows (filter off, pending edits dropped, cursor on the
    // first row) and makes the set active.
    void Assign(RowSet rows);
    // Makes the set writable: Post and Delete write `table` through the
    // connection named `connectionName`. The rows must be loaded `keyed`.
    void SetWriteTarget(const QString& connectionName, const QString& table);

    bool Active() const { return m_state != State::Inactive; }
    State GetState() const { return m_state; }
    const QStringList& Fields() const { return m_fields; }
    int FieldIndex(const QString& field) const;  // -1 when absent

    int RecordCount() const { return static_cast<int>(m_visible.size()); }
    int RecNo() const { return m_row; }  // -1 when empty
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    void First();
    void Last();
    void Next();
    void Prior();
    // Makes visible row `row` current; false when out of range.
    bool MoveTo(int row);
    // Makes the first row whose `field` equals `value` current; false (cursor
    // unchanged) when none does. Numbers compare by value, text exactly.
    bool Locate(const QString& field, const QVariant& value);

    // The current row's stored value (null when empty or unknown field).
    QVariant FieldValue(const QString& field) const;
    // The current row's display text: the decoder's text where one is set.
    QString FieldText(const QString& field) const;
    QVariant Value(int row, int column) const;
    QString Text(int row, int column) const;

    void SetFieldDecoder(const QString& field, FieldDecoder decoder);
    // The font family views should show `field` in; empty means the default.
    void SetFieldFontFamily(const QString& field, const QString& family);
    QString FieldFontFamily(int column) const;

    // Shows only rows whose `field` contains `text`, ignoring letter case and
    // taking every character literally (quotes, '%', '_'). An empty text
    // matches every row. The cursor goes to the first visible row.
    void SetFilterContains(const QString& field, const QString& text);
    void ClearFilter();  // all rows again; the cursor goes to the first row
    bool Filtered() const { return m_filtered; }

    // Editing (writable sets). Edit() needs a current row; Insert() appends an
    // empty row and makes it current. SetFieldValue works in either state.
    // Post() runs BeforePost, writes the row in a transaction and returns to
    // Browse; on failure it returns false, keeps the state and the typed
    // values, and LastError() says why. Moving the cursor while editing posts
    // first and stays put when that fails. Cancel() drops the changes.
    // Delete() removes the current row from the table and the set.
    bool Edit();
    bool Insert();
    bool SetFieldValue(const QString& field, const QVariant& value);
    bool Post();
    void Cancel();
    bool Delete();
    QString LastError() const { return m_lastError; }
    std::function<void(TLessonDataSet&)> BeforePost;

    // Replaces a value of visible row `row` in memory only, for a row the
    // caller has just written to the database itself; views repaint. False
    // for an unknown row or field, or while a row is being edited.
    bool SetStoredValue(int row, const QString& field, const QVariant& value);

    LessonTableModel* Model() const { return m_model; }
    QItemSelectionModel* SelectionModel() const { return m_selection; }

signals:
    void CurrentRowChanged(int row);
    void StateChanged(TLessonDataSet::State state);

private:
    friend class LessonTableModel;
    void SetCursor(int row, bool eof, bool bof);
    bool LeaveEditing();
    void ResetVisible(bool filtered, const QString& field = {}, const QString& text = {});
    void SetState(State state);
    const QVector<QVariant>* VisibleRow(int row) const;
    bool Writable() const;
    bool WriteRow();
    void RemoveVisibleRow(int row);
    void SyncSelection();
    void RebuildColumnDecoders();

    QStringList m_fields;
    QVector<QVector<QVariant>> m_rows;
    QVector<qint64> m_rowIds;
    QVector<int> m_visible;  // indexes into m_rows
    QVector<QVariant> m_buffer;  // the row being edited or inserted
    int m_row = -1;
    int m_insertReturnRow = -1;  // where Cancel of an insert goes back to
    bool m_eof = true;
    bool m_bof = true;
    bool m_filtered = false;
    State m_state = State::Inactive;
    QHash<QString, FieldDecoder> m_decoders;  // by upper-case field name
    QVector<FieldDecoder> m_columnDecoders;   // the same by column, for repaints
    QHash<QString, QString> m_fontFamilies;
    QString m_connection;
    QString m_table;
    QString m_lastError;
    bool m_syncing = false;
    LessonTableModel* m_model;
    QItemSelectionModel* m_selection;
};
