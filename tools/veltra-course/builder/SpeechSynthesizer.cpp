#include "SpeechSynthesizer.h"

#include "ParallelTasks.h"

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
    const std::optional<QString> failure =
        RunParallelTasks(results.size(), m_options.jobs, [&](std::size_t i) -> std::optional<QString> {
            QString message;
            auto pcm = speakOne(texts.at(static_cast<qsizetype>(i)), message);
            if (!pcm)
                return message;
            results[i] = std::move(*pcm);
            return std::nullopt;
        });
    if (failure) {
        error = *failure;
        return std::nullopt;
    }
    return results;
}
