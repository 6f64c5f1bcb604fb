#include "app/ImportOffer.h"

#include "app/CourseToolLines.h"
#include "app/ProgramPaths.h"
#include "app/SessionSignals.h"
#include "app/VeltraApplication.h"
#include "data/DataPath.h"
#include "data/Messages.h"

#include <QEventLoop>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

#include <memory>

namespace {

// Long enough for the tool to remove a staging folder of a big course.
constexpr int kStopGraceMs = 10000;

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

// What stopped the tool before its end, if anything.
enum class Stop { None, Cancel, SessionEnd };

// Runs the import to its end. False with `failure` to show, which is empty
// when the session ended: that ends quietly.
bool RunImport(const QString& dataDir, const QString& courseTool, const SessionSignals* session, QString& failure)
{
    QProcess process;
    process.setProgram(courseTool);
    process.setArguments({QStringLiteral("import"), QStringLiteral("--chinese"), dataDir, dataDir});
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
    Stop stop = Stop::None;
    // The tool stops at its next row or piece of a file and removes what it
    // wrote; one that does not answer is ended.
    auto stopTool = [&](Stop why) {
        if (stop != Stop::SessionEnd)
            stop = why;
        process.terminate();
        QTimer::singleShot(kStopGraceMs, &process, &QProcess::kill);
    };
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
        QObject::connect(dialog.get(), &QProgressDialog::canceled, &loop, [&] { stopTool(Stop::Cancel); });
    if (session)
        QObject::connect(session, &SessionSignals::sessionEnding, &loop, [&] { stopTool(Stop::SessionEnd); });
    process.start();
    if (dialog)
        dialog->show();
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart)
        loop.exec();
    if (dialog)
        dialog->hide();

    failure.clear();
    if (stop == Stop::SessionEnd)
        return false;
    if (process.error() == QProcess::FailedToStart) {
        failure = QStringLiteral("旧版词库转换失败：找不到转换程序 %1。").arg(courseTool);
        return false;
    }
    // A cancel that came too late to stop it finds the import done.
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) {
        if (!FindDatabaseFile(dataDir).isEmpty())
            return true;
        failure = QStringLiteral("旧版词库转换失败：没有生成新词库。");
    } else if (stop == Stop::Cancel) {
        failure = QStringLiteral("旧版词库的转换已取消，原文件没有改动。");
    } else if (process.exitStatus() != QProcess::NormalExit) {
        failure = QStringLiteral("旧版词库转换失败：转换程序意外退出，词库文件可能已损坏。原文件没有改动。");
    } else {
        failure = QStringLiteral("旧版词库转换失败，原文件没有改动。\n") + ToolMessage(process.readAllStandardError());
    }
    return false;
}

} // namespace

QString CourseToolOf(const QString& appDir)
{
    return appDir + QStringLiteral("veltra-course");
}

ImportOutcome OfferImport(const QString& dataDir, const QString& courseTool, const SessionSignals* session)
{
    if (ResolveDataPath(dataDir, QStringLiteral("qor.mdb")).isEmpty())
        return ImportOutcome::NoOldDatabase;
    const bool yes = AskYesNo(QString::fromUtf8(kImportQuestion));
    // The session's end closes the question too; it is no answer.
    if (session && session->SessionEnding())
        return ImportOutcome::NotImported;
    if (!yes) {
        ShowInfo(QStringLiteral("没有转换旧版词库，qor.mdb 保持原样。\n本软件要用转换后的词库才能启动；下次启动时会再问一次。"));
        return ImportOutcome::NotImported;
    }
    QString failure;
    if (RunImport(dataDir, courseTool, session, failure))
        return ImportOutcome::Imported;
    if (!failure.isEmpty())
        ShowError(failure);
    return ImportOutcome::NotImported;
}
