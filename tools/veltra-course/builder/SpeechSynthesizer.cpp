#include "SpeechSynthesizer.h"

#include <QProcess>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

std::optional<MonoPcm> SpeechSynthesizer::speakOne(const QString& text, QString& error) const
{
    // The text goes through stdin so that nothing in it can be taken for an option.
    QProcess process;
    process.start(m_options.program, {QStringLiteral("-v"), m_options.voice, QStringLiteral("-s"),
                                      QString::number(m_options.wordsPerMinute), QStringLiteral("-b"), QStringLiteral("1"),
                                      QStringLiteral("--stdin"), QStringLiteral("--stdout")});
    if (!process.waitForStarted(30000)) {
        error = QStringLiteral("cannot run %1: %2 (it comes with the Debian package espeak-ng)")
                    .arg(m_options.program, process.errorString());
        return std::nullopt;
    }
    process.write(text.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        error = QStringLiteral("%1 failed on \"%2\": %3")
                    .arg(m_options.program, text, QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    auto pcm = ParseWav(process.readAllStandardOutput());
    if (!pcm || pcm->samples.empty()) {
        error = QStringLiteral("%1 gave no usable 16-bit mono sound for \"%2\"").arg(m_options.program, text);
        return std::nullopt;
    }
    return pcm;
}

std::optional<std::vector<MonoPcm>> SpeechSynthesizer::speak(const QStringList& texts, QString& error) const
{
    std::vector<MonoPcm> results(static_cast<std::size_t>(texts.size()));
    std::atomic<qsizetype> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    qsizetype firstFailure = texts.size();

    auto work = [&] {
        for (qsizetype i = next++; i < texts.size() && !failed; i = next++) {
            QString message;
            auto pcm = speakOne(texts.at(i), message);
            if (pcm) {
                results[static_cast<std::size_t>(i)] = std::move(*pcm);
                continue;
            }
            failed = true;
            const std::lock_guard lock(errorMutex);
            if (i < firstFailure) {
                firstFailure = i;
                error = message;
            }
        }
    };
    const int jobs = std::clamp(m_options.jobs, 1, 8);
    std::vector<std::thread> workers;
    for (int j = 1; j < jobs; ++j)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    if (failed)
        return std::nullopt;
    return results;
}
