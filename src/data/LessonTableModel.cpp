#include "data/LessonTableModel.h"

#include "data/LessonDataSet.h"

#include <QFont>

LessonTableModel::LessonTableModel(TLessonDataSet& dataSet) : m_dataSet(dataSet) {}

int LessonTableModel::FieldColumn(const QString& field) const
{
    return m_dataSet.FieldIndex(field);
}

void LessonTableModel::SetFieldTitle(const QString& field, const QString& title)
{
    m_titles.insert(field.toUpper(), title);
    const int column = FieldColumn(field);
    if (column >= 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

int LessonTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_dataSet.RecordCount();
}

int LessonTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_dataSet.Fields().size());
}

QVariant LessonTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_dataSet.Text(index.row(), index.column());
    case RawValueRole:
        return m_dataSet.Value(index.row(), index.column());
    case Qt::FontRole:
    {
        const QString family = m_dataSet.FieldFontFamily(index.column());
        if (family.isEmpty())
            return {};
        return QFont(family);
    }
    default:
        return {};
    }
}

QVariant LessonTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const QString field = m_dataSet.Fields().at(section);
    return m_titles.value(field.toUpper(), field);
}

bool LessonTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) ||
        section < 0 || section >= columnCount())
        return false;
    SetFieldTitle(m_dataSet.Fields().at(section), value.toString());
    return true;
}

void LessonTableModel::RowChanged(int row)
{
    if (row >= 0 && row < rowCount() && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}
