#pragma once

#include "support/FileEnvironment.h"

// A QApplication for the tests of the file that registers it.
class GuiAppEnvironment : public AppEnvironment {
public:
    explicit GuiAppEnvironment(std::source_location where = std::source_location::current())
        : AppEnvironment(Kind::Gui, where)
    {
    }
};
