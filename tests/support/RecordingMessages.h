#pragma once

#include "data/Messages.h"

#include <QString>
#include <vector>

// Records every message instead of showing it; questions get `answer`.
class RecordingMessages final : public Messages {
public:
    enum class Kind { Info, Error, Question };
    struct Entry {
        Kind kind;
        QString text;
    };

    void info(const QString& text) override { entries.push_back({Kind::Info, text}); }
    void error(const QString& text) override { entries.push_back({Kind::Error, text}); }
    bool askYesNo(const QString& text) override
    {
        entries.push_back({Kind::Question, text});
        return answer;
    }

    std::vector<Entry> entries;
    bool answer = true;
};
