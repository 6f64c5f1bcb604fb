#include "app/PageGrid.h"

#include "controls/PlainToolTip.h"
#include "data/LessonDataSet.h"
#include "data/LessonTableModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QPalette>
#include <QPolygon>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>

namespace {

// Per-column font and wrapping, which a table view only offers per view.
class ColumnDelegate final : public QStyledItemDelegate {
public:
    ColumnDelegate(const QFont& font, bool wrap, QObject* parent)
        : QStyledItemDelegate(parent), m_font(font), m_wrap(wrap)
    {
    }

    // A cell whose text is cut off shows the whole text as its tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        if (cell.text.isEmpty() || Fits(cell, view)) {
            QToolTip::hideText();
            return true;
        }
        QToolTip::showText(event->globalPos(), PlainToolTip(cell.text), view->viewport(), option.rect);
        return true;
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
    bool Fits(const QStyleOptionViewItem& cell, const QAbstractItemView* view) const
    {
        const QWidget* widget = view->viewport();
        QStyle* style = widget->style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
        // The style's own text margin inside the cell, on either side.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect room = textRect.adjusted(margin, 0, -margin, 0);
        const int flags = m_wrap ? int(Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop) : int(Qt::AlignLeft);
        const QRect needed = cell.fontMetrics.boundingRect(QRect(room.topLeft(), QSize(room.width(), 1 << 20)),
                                                           flags, cell.text);
        return needed.width() <= room.width() && needed.height() <= room.height();
    }

    QFont m_font;
    bool m_wrap;
};

// Keeps the dataset's current row fully in view. The shared selection's
// current index sits in the first column, which the pages hide, and a view
// scrolls only to visible cells, and only while it is shown.
class CurrentRowFollower final : public QObject {
public:
    CurrentRowFollower(QTableView* grid, TLessonDataSet& dataSet) : QObject(grid), m_grid(grid), m_dataSet(dataSet)
    {
        grid->installEventFilter(this);
        connect(&dataSet, &TLessonDataSet::CurrentRowChanged, this, [this] { ScrollToCurrent(); });
    }

    void ScrollToCurrent()
    {
        const int row = m_dataSet.RecNo();
        const QAbstractItemModel* model = m_grid->model();
        if (row < 0 || !model)
            return;
        for (int column = 0; column < model->columnCount(); ++column) {
            if (!m_grid->isColumnHidden(column)) {
                m_grid->scrollTo(model->index(row, column), QAbstractItemView::EnsureVisible);
                return;
            }
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_grid && event->type() == QEvent::Show)
            ScrollToCurrent();
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView* m_grid;
    TLessonDataSet& m_dataSet;
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
    auto* follower = new CurrentRowFollower(grid, dataSet);
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, [=] {
        ApplyColumns(grid, model, columns, delegates);
        follower->ScrollToCurrent();
    });
}
