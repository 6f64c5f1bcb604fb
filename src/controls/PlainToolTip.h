#pragma once

#include <QString>

// Tooltip text that shows `text` exactly as it is. A tooltip, like a label,
// renders text that looks like markup, which course and learner data must
// never be; the escaped form still wraps long lines. Empty stays empty (no
// tooltip). Any thread.
QString PlainToolTip(const QString& text);
