#pragma once

#include "analysis/TakeWords.h"

#include <QObject>
#include <QThreadPool>

#include <cstdint>
#include <memory>
#include <stop_token>

struct FinishedTake;
struct TakeComparison;

// What the analysis of one take gives.
struct TakeAnalysis {
    int serial = 0;                                    // the take's
    std::shared_ptr<const TakeComparison> comparison;  // null without a model sound
    TakeWordCheck check;
};

// Analyses takes against their models on a worker thread of its own, one
// take at a time, and hands back the newest take's result only: a take
// handed in stops the analysis of any older one. A stopped analysis ends at
// its next check point, between the stages of the word check and of the
// comparison; a pass of the speech recogniser over a voice (up to 30 s of
// it) cannot be cut and runs to its end first.
//
// The word checker is slow to load, so one is kept for every take; it is
// used by one analysis at a time.
//
// Threads: every member on the thread that created the runner (the GUI
// thread); analysed() is emitted there from the event loop, never inside a
// call. Destroying the runner stops the analysis under way and waits only
// for its next check point.
class TakeAnalysisRunner : public QObject {
    Q_OBJECT
public:
    explicit TakeAnalysisRunner(QObject* parent = nullptr);
    ~TakeAnalysisRunner() override;

    void Analyse(const FinishedTake& take);
    // Stops the analysis under way and drops those waiting; nothing is
    // handed back until the next Analyse. Returns at once.
    void Stop();

signals:
    void analysed(const TakeAnalysis& analysis);

private:
    std::unique_ptr<TakeWordChecker> m_checker = std::make_unique<TakeWordChecker>();
    std::stop_source m_stop;
    uint64_t m_generation = 0;  // of the newest Analyse or Stop: older results are dropped
    QThreadPool m_pool;
};
