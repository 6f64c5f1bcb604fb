#pragma once

#include <QList>
#include <QWidget>

// The widgets of `expected` in the order the focus chain visits them.
inline QList<QWidget*> FocusOrder(const QList<QWidget*>& expected)
{
    QList<QWidget*> order;
    QWidget* w = expected.first();
    do {
        if (expected.contains(w) && !order.contains(w))
            order << w;
        w = w->nextInFocusChain();
    } while (w != expected.first());
    return order;
}
