#include "app/ImportOffer.h"

#include "app/CourseToolLines.h"
#include "app/ProgramPaths.h"
#include "app/VeltraApplication.h"
#include "data/DataPath.h"
#include "data/Messages.h"

#include <QEventLoop>
#include <QProcess>
#include <QProgressDialog>

#include <memory>

namespace {

// The tool's progress lines, "[step/steps] what was done", move the dialog on.
void ShowProgress(QProgressDialog* dialog, const QString& line)
{
    const std::optional<ToolProgress> progress = ParseToolProgress(line);
    if (!dialog || !progress)
        return;
    dialog->setMaximum(progress->steps);
    dialog->setValue(progress->step);
    dialog->setLabelText(QStringLiteral("正在转换旧版词库……\n") + progress->what);
}

// Runs the import to its end; returns the message to show, empty on success.
QString RunImport(const QString& dataDir, const QString& courseTool)
{
    QProcess process;
    process.setProgram(courseTool);
    process.setArguments({QStringLiteral("import"), dataDir, dataDir});
    std::unique_ptr<QProgressDialog> dialog;
    if (CanShowWindows()) {
        dialog = std::make_unique<QProgressDialog>(QStringLiteral("正在转换旧版词库……"), QStringLiteral("取消"), 0, 0);
        dialog->setWindowTitle(QStringLiteral("Veltra精读"));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setMinimumDuration(0);
        dialog->setMinimumWidth(420);
    }
    QEventLoop loop;
    bool cancelled = false;
    QByteArray pending;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        pending += process.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            ShowProgress(dialog.get(), QString::fromUtf8(pending.left(end)));
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    if (dialog)
        QObject::connect(dialog.get(), &QProgressDialog::canceled, &loop, [&] {
            cancelled = true;
            process.kill();
        });
    process.start();
    if (dialog)
        dialog->show();
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart)
        loop.exec();
    if (dialog)
        dialog->hide();

    if (process.error() == QProcess::FailedToStart)
        return QStringLiteral("旧版词库转换失败：找不到转换程序 %1。").arg(courseTool);
    if (cancelled)
        return QStringLiteral("旧版词库的转换已取消，原文件没有改动。");
    if (process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("旧版词库转换失败：转换程序意外退出，词库文件可能已损坏。原文件没有改动。");
    if (process.exitCode() != 0)
        return QStringLiteral("旧版词库转换失败，原文件没有改动。\n") + ToolMessage(process.readAllStandardError());
    if (FindDatabaseFile(dataDir).isEmpty())
        return QStringLiteral("旧版词库转换失败：没有生成新词库。");
    return QString();
}

} // namespace

QString CourseToolOf(const QString& appDir)
{
    return appDir + QStringLiteral("veltra-course");
}

bool OfferImport(const QString& dataDir, const QString& courseTool)
{
    if (ResolveDataPath(dataDir, QStringLiteral("qor.mdb")).isEmpty())
        return false;
    if (!AskYesNo(QString::fromUtf8(kImportQuestion)))
        return false;
    const QString failure = RunImport(dataDir, courseTool);
    if (failure.isEmpty())
        return true;
    ShowError(failure);
    return false;
}
