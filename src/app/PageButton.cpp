#include "app/PageButton.h"

#include "app/PageGrid.h"

#include <QPushButton>

QPushButton* PageButton(QWidget* page, const QString& name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, page);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(PixelFont(QStringLiteral("宋体"), 12));
    return button;
}
