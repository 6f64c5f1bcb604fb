#pragma once

#include "data/Messages.h"

// Modal system message boxes owned by the active window (or none).
class QtMessages final : public Messages {
public:
    void info(const QString& text) override;
    void error(const QString& text) override;
    bool askYesNo(const QString& text) override;
};
