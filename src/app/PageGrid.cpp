#include "app/PageGrid.h"

#include "data/LessonDataSet.h"
#include "data/LessonTableModel.h"

#include <QHeaderView>
#include <QPainter>
#include <QPalette>
#include <QPolygon>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

// Per-column font and wrapping, which a table view only offers per view.
class ColumnDelegate final : public QStyledItemDelegate {
public:
    ColumnDelegate(const QFont& font, bool wrap, QObject* parent)
        : QStyledItemDelegate(parent), m_font(font), m_wrap(wrap)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->font = m_font;
        option->fontMetrics = QFontMetrics(m_font);
        if (m_wrap) {
            option->features |= QStyleOptionViewItem::WrapText;
            option->displayAlignment = Qt::AlignLeft | Qt::AlignTop;
        } else {
            option->features &= ~QStyleOptionViewItem::WrapText;
            option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        }
    }

private:
    QFont m_font;
    bool m_wrap;
};

// The row indicator column: an arrow at the current row, no row numbers.
class RowIndicator final : public QHeaderView {
public:
    explicit RowIndicator(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        painter->save();
        painter->fillRect(rect, palette().button());
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->drawLine(rect.topRight(), rect.bottomRight());
        if (selectionModel() && selectionModel()->isRowSelected(logicalIndex, rootIndex())) {
            const int mid = rect.center().y();
            const int left = rect.left() + 3;
            painter->setBrush(palette().color(QPalette::WindowText));
            painter->setPen(Qt::NoPen);
            painter->drawPolygon(QPolygon({QPoint(left, mid - 4), QPoint(left + 5, mid), QPoint(left, mid + 4)}));
        }
        painter->restore();
    }
};

// A reload resets the header, which forgets hidden columns and widths.
void ApplyColumns(QTableView* grid, LessonTableModel* model, const QList<GridColumn>& columns,
                  const QList<ColumnDelegate*>& delegates)
{
    for (int column = 0; column < model->columnCount(); ++column) {
        grid->setColumnHidden(column, true);
        grid->setItemDelegateForColumn(column, nullptr);
    }
    for (int i = 0; i < columns.size(); ++i) {
        const int column = model->FieldColumn(columns[i].field);
        if (column < 0)
            continue;
        grid->setColumnHidden(column, false);
        grid->setColumnWidth(column, columns[i].width);
        grid->setItemDelegateForColumn(column, delegates[i]);
    }
}

}  // namespace

QFont PixelFont(const QString& family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

void BindLessonGrid(QTableView* grid, TLessonDataSet& dataSet, const QList<GridColumn>& columns)
{
    LessonTableModel* model = dataSet.Model();
    grid->setModel(model);
    grid->setSelectionModel(dataSet.SelectionModel());
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(false);
    grid->setShowGrid(true);
    grid->setFrameShape(QFrame::Box);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QHeaderView* titles = grid->horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setDefaultAlignment(Qt::AlignCenter);
    auto* indicator = new RowIndicator(grid);
    grid->setVerticalHeader(indicator);
    indicator->setSectionsClickable(false);
    indicator->setHighlightSections(true);  // repaints the arrow when the row changes
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setFixedWidth(12);
    indicator->setDefaultAlignment(Qt::AlignCenter);
    // The learner keeps sight of the current row while pressing the buttons.
    QPalette palette = grid->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    grid->setPalette(palette);

    QList<ColumnDelegate*> delegates;
    for (const GridColumn& c : columns) {
        model->SetFieldTitle(c.field, c.title);
        delegates << new ColumnDelegate(c.font, c.wrap, grid);
    }
    ApplyColumns(grid, model, columns, delegates);
    QObject::connect(model, &QAbstractItemModel::modelReset, grid,
                     [grid, model, columns, delegates] { ApplyColumns(grid, model, columns, delegates); });
}
