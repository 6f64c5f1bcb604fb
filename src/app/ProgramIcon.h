#pragma once

#include <QIcon>
#include <QString>

// The program's icon for its windows (the title bar and the task bar of
// desktops that do not look it up through the menu entry): the PNGs the build
// renders beside the program, or the ones an install put into the icon theme
// folder under the data prefix. Null when neither is there.
QIcon ProgramIconOf(const QString& appDir);
