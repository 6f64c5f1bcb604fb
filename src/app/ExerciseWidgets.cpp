#include "app/ExerciseWidgets.h"

#include "app/MainGlyphs.h"

#include <QPointer>
#include <QStackedWidget>
#include <QToolButton>

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

void OnLeavingFront(QWidget* page, QObject* context, std::function<void()> leave)
{
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    if (!stack)
        return;
    QObject::connect(stack, &QStackedWidget::currentChanged, context,
                     [stack, page, leave = std::move(leave), front = QPointer<QWidget>(stack->currentWidget())]() mutable {
                         const bool wasFront = front == page;
                         front = stack->currentWidget();
                         if (wasFront && front != page)
                             leave();
                     });
}
