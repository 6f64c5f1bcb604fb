#include "analysis/TakeAnalysisRunner.h"

#include "analysis/TakeComparison.h"
#include "audio/FinishedTake.h"

#include <QMetaObject>

namespace {

TakeAnalysis Analysed(TakeWordChecker& checker, const FinishedTake& take, std::stop_token stop)
{
    TakeAnalysis analysis;
    analysis.serial = take.serial;
    if (stop.stop_requested())
        return analysis;
    const std::optional<PcmAudio> model = ModelAudio(take.model);
    analysis.check = checker.Check(model ? *model : PcmAudio{}, take.take, take.model.text, kLongestComparedSeconds,
                                   stop);
    if (model && !stop.stop_requested())
        analysis.comparison = std::make_shared<const TakeComparison>(
            CompareTake(*model, take.take, take.model.text, analysis.check.modelWords, stop));
    return analysis;
}

} // namespace

TakeAnalysisRunner::TakeAnalysisRunner(QObject* parent) : QObject(parent)
{
    // One analysis at a time: the word checker serves one thread only.
    m_pool.setMaxThreadCount(1);
}

TakeAnalysisRunner::~TakeAnalysisRunner()
{
    Stop();
    // The checker and this object must outlive the worker.
    m_pool.waitForDone();
}

void TakeAnalysisRunner::Stop()
{
    m_stop.request_stop();
    m_stop = std::stop_source();
    m_pool.clear();
    ++m_generation;
}

void TakeAnalysisRunner::Analyse(const FinishedTake& take)
{
    Stop();
    const uint64_t generation = m_generation;
    TakeWordChecker* checker = m_checker.get();
    m_pool.start([this, checker, take, generation, stop = m_stop.get_token()] {
        TakeAnalysis analysis = Analysed(*checker, take, stop);
        if (stop.stop_requested())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation, analysis = std::move(analysis)] {
                // A Stop or a newer take may have come since the work ended.
                if (generation == m_generation)
                    emit analysed(analysis);
            },
            Qt::QueuedConnection);
    });
}
