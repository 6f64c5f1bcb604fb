#pragma once

#include <QRect>
#include <QString>

#include <functional>

class QObject;
class QToolButton;
class QWidget;

// Pieces the three exercise pages share. GUI thread only.

// An image button for a question's sound and mark: takes no focus, shows a
// 16 x 16 glyph and starts without one.
QToolButton* SpeakButton(QWidget* parent, const QString& name, QRect geometry);

// Whether a widget gaining the focus for `reason` was entered by the learner
// (tab, click, a button elsewhere), rather than got it back because its
// window was activated again or a menu closed.
bool EnteredByLearner(int reason);

// Runs `leave` whenever `page`, a page of a page control, stops being the
// page in front: another page was picked or brought to front by a button.
// Leaving the page control itself (an ancestor hidden) does not count.
// Connected for the lifetime of `context`.
void OnLeavingFront(QWidget* page, QObject* context, std::function<void()> leave);
