#include "app/DialogGrid.h"

#include "app/LessonGrid.h"
#include "data/LessonDataSet.h"
#include "data/LessonTableModel.h"

#include <QHeaderView>
#include <QTableView>

QTableView* NewDialogGrid(QWidget* dialog, const QString& name, TLessonDataSet& dataSet)
{
    auto* grid = new TLessonGrid(dialog);
    grid->setObjectName(name);
    grid->setModel(dataSet.Model());
    grid->setSelectionModel(dataSet.SelectionModel());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(dialog->fontMetrics().height() + 4);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grid->horizontalHeader()->setHighlightSections(false);
    return grid;
}
