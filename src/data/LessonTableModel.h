#pragma once

#include <QAbstractTableModel>
#include <QHash>

class TLessonDataSet;

// A read-only table model over a TLessonDataSet: one column per field, one
// row per visible row. Display text comes through the field decoders; the
// stored value is under RawValueRole. Column titles are set with
// setHeaderData(column, Qt::Horizontal, title) or SetFieldTitle and survive
// lesson changes. Owned by its dataset; GUI thread only.
class LessonTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RawValueRole = Qt::UserRole;

    explicit LessonTableModel(TLessonDataSet& dataSet);

    // The column that shows `field`, -1 when the set has no such field.
    int FieldColumn(const QString& field) const;
    void SetFieldTitle(const QString& field, const QString& title);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

private:
    friend class TLessonDataSet;
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void RowChanged(int row);
    void BeginAppend(int row) { beginInsertRows({}, row, row); }
    void EndAppend() { endInsertRows(); }
    void BeginRemove(int row) { beginRemoveRows({}, row, row); }
    void EndRemove() { endRemoveRows(); }

    TLessonDataSet& m_dataSet;
    QHash<QString, QString> m_titles;  // by field name
};
