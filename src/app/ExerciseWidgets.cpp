#include "app/ExerciseWidgets.h"

#include "app/MainGlyphs.h"
#include "app/PageGrid.h"

#include <QPushButton>
#include <QToolButton>

QPushButton* ExerciseButton(QWidget* parent, const QString& name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(PixelFont(QStringLiteral("宋体"), 12));
    return button;
}

QToolButton* SpeakButton(QWidget* parent, const QString& name, QRect geometry)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(TMainGlyphs::kSize, TMainGlyphs::kSize));
    return button;
}

bool EnteredByLearner(int reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
