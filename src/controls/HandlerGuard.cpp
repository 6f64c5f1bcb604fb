#include "controls/HandlerGuard.h"

#include <cstdio>

namespace {

std::function<void(const QString&)>& Report()
{
    static std::function<void(const QString&)> report;
    return report;
}

} // namespace

void InstallHandlerErrorReport(std::function<void(const QString& text)> report)
{
    Report() = std::move(report);
}

void ReportHandlerError(const QString& text)
{
    if (Report()) {
        Report()(text);
        return;
    }
    std::fprintf(stderr, "Veltra精读: %s\n", text.toUtf8().constData());
}
