#pragma once

#include <QFont>
#include <QList>
#include <QString>

class QTableView;
class TLessonDataSet;

// The read-only lesson grids of the study pages. GUI thread only.

struct GridColumn {
    QString field;
    QString title;
    int width;
    QFont font;
    bool wrap;
};

// Binds `grid` to the dataset's shared model and cursor and shows only
// `columns`, with their titles, widths, fonts and wrapping, again after every
// reload of the lesson. The grid gets the fixed look of the pages: whole-row
// single selection, no editing, lines, a title row and a row indicator, the
// vertical scroll bar always shown, and the selected row highlighted the same
// with or without the focus.
void BindLessonGrid(QTableView* grid, TLessonDataSet& dataSet, const QList<GridColumn>& columns);

// A font of `family` at `pixelSize`; the application maps the windows' font
// names to installed faces.
QFont PixelFont(const QString& family, int pixelSize);
