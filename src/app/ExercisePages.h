#pragma once

#include "data/RandomSource.h"

#include <QPointer>

class TMainForm;
class TSenWritePage;
class TWordSelectPage;
class TWordWritePage;

// The three exercises on the main window's exercise tabs. They speak words
// through the window's word speaker, play sentences on its lesson audio with
// nothing following, and draw from one random source, which the window seeds
// from the clock at start-up (tests seed it themselves).
//
// Create it once the window's pages and reading exist, and destroy it before
// them. GUI thread only.
class TExercisePages {
public:
    explicit TExercisePages(TMainForm& form);
    ~TExercisePages();
    TExercisePages(const TExercisePages&) = delete;
    TExercisePages& operator=(const TExercisePages&) = delete;

    SeededRandom& Random() { return m_random; }
    TWordWritePage* WordWrite() const;
    TWordSelectPage* WordSelect() const;
    TSenWritePage* SenWrite() const;

private:
    SeededRandom m_random;
    // Children of the page containers; deleted here first.
    QPointer<TWordWritePage> m_wordWrite;
    QPointer<TWordSelectPage> m_wordSelect;
    QPointer<TSenWritePage> m_senWrite;
};
