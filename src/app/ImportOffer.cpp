#include "app/ImportOffer.h"

#include "app/CourseToolRun.h"
#include "app/ProgramPaths.h"
#include "app/SessionSignals.h"
#include "app/VeltraApplication.h"
#include "controls/HandlerGuard.h"
#include "data/DataPath.h"
#include "data/Messages.h"

#include <QEventLoop>
#include <QProgressDialog>

#include <memory>

namespace {

// Long enough for the tool to remove a staging folder of a big course.
constexpr int kStopGraceMs = 10000;

// The import is asked for its lines in Chinese ("--chinese"): each names
// what a step found (a table's rows, the files copied), and its failures
// the file and the reason. They are shown as they come, under our own words.
CourseToolTexts ImportTexts()
{
    CourseToolTexts texts;
    texts.failed = QStringLiteral("旧版词库转换失败，原文件没有改动。");
    texts.refused = texts.failed;
    texts.crashed = QStringLiteral("旧版词库转换失败：转换程序意外退出，词库文件可能已损坏。原文件没有改动。");
    texts.missing = QStringLiteral("旧版词库转换失败：找不到转换程序 %1。");
    return texts;
}

// What stopped the tool before its end, if anything.
enum class Stop { None, Cancel, SessionEnd };

// Runs the import to its end. False with `failure` to show, which is empty
// when the session ended: that ends quietly.
bool RunImport(const QString& dataDir, const QString& courseTool, const SessionSignals* session, QString& failure)
{
    CourseToolRun run(courseTool, ImportTexts(), kStopGraceMs);
    std::unique_ptr<QProgressDialog> dialog;
    if (CanShowWindows()) {
        dialog = std::make_unique<QProgressDialog>(QStringLiteral("正在转换旧版词库……"), QStringLiteral("取消"), 0, 0);
        dialog->setWindowTitle(QStringLiteral("Veltra精读"));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setMinimumDuration(0);
        dialog->setMinimumWidth(420);
        QObject::connect(&run, &CourseToolRun::Progress, dialog.get(), [&](int step, int steps, const QString& text) {
            RunGuarded([&] {
                dialog->setMaximum(steps);
                dialog->setValue(step);
                dialog->setLabelText(QStringLiteral("正在转换旧版词库……\n") + text);
            });
        });
    }
    QEventLoop loop;
    Stop stop = Stop::None;
    // The tool stops at its next row or piece of a file and removes what it
    // wrote; one that does not answer is ended.
    auto stopTool = [&](Stop why) {
        if (stop != Stop::SessionEnd)
            stop = why;
        run.Cancel();
    };
    QObject::connect(&run, &CourseToolRun::Finished, &loop, &QEventLoop::quit);
    if (dialog)
        QObject::connect(dialog.get(), &QProgressDialog::canceled, &loop, [&] { stopTool(Stop::Cancel); });
    if (session)
        QObject::connect(session, &SessionSignals::sessionEnding, &loop, [&] { stopTool(Stop::SessionEnd); });
    run.Start({QStringLiteral("import"), QStringLiteral("--chinese"), dataDir, dataDir});
    if (dialog)
        dialog->show();
    loop.exec();
    if (dialog)
        dialog->hide();

    failure.clear();
    if (stop == Stop::SessionEnd)
        return false;
    switch (run.End()) {
    case ToolEnd::Done:
        // A cancel that came too late to stop it finds the import done.
        if (!FindDatabaseFile(dataDir).isEmpty())
            return true;
        failure = QStringLiteral("旧版词库转换失败：没有生成新词库。");
        break;
    case ToolEnd::Cancelled:
        failure = QStringLiteral("旧版词库的转换已取消，原文件没有改动。");
        break;
    default:
        failure = run.FailureText();
        break;
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
