#pragma once

#include "data/RandomSource.h"

#include <QList>

#include <stdexcept>

// Hands out the numbers it was given, in order, and records each bound it was
// asked for, so a test states a draw exactly. Running out is a test error.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(QList<int> numbers = {}) : m_numbers(std::move(numbers)) {}
    void Add(const QList<int>& numbers) { m_numbers += numbers; }
    int Below(int count) override
    {
        bounds.append(count);
        if (m_numbers.isEmpty())
            throw std::logic_error("ScriptedRandom ran out of numbers");
        const int n = m_numbers.takeFirst();
        if (count >= 1 && (n < 0 || n >= count))
            throw std::logic_error("ScriptedRandom number out of range");
        return count < 1 ? 0 : n;
    }
    QList<int> bounds;

private:
    QList<int> m_numbers;
};
