#include "app/AppFonts.h"
#include "app/ImportOffer.h"
#include "app/MainFrm.h"
#include "app/ProgramPaths.h"
#include "app/QtMessages.h"
#include "app/SessionSignals.h"
#include "app/SingleInstance.h"
#include "app/VeltraApplication.h"
#include "audio/TempFolder.h"
#include "data/DMUnit.h"
#include "data/Messages.h"

#include <exception>

namespace {

int run(VeltraApplication& app)
{
    // Without a screen the default messages, on standard error, stand in.
    QtMessages messages;
    ScopedMessages installed(CanShowWindows() ? &messages : nullptr);

    SetProgramPaths(AppDirOf(QCoreApplication::applicationFilePath()));
    // An old data folder (qor.mdb only) may be converted first, if the learner agrees.
    if (FindDatabaseFile(DataDir()).isEmpty() && !OfferImport(DataDir(), CourseToolOf(AppDir()))) {
        ShowError(QStringLiteral("词库文件未找到，请重新安装本软件！"));
        return 1;
    }
    EnsurePhoneticFont(DataDir());
    InstallFontSubstitutions();
    QApplication::setFont(SongTiFont(12));

    SingleInstanceLock instance;
    if (!instance.TryAcquire())
        return 0;  // another instance runs: leave quietly
    // Ours alone now: anything in the program's temporary folder was left by
    // a run that crashed.
    EmptyProgramTempFolder();

    // Logout, `kill` and Ctrl+C close the windows as the learner would. One
    // that comes while start-up shows a message closes the window once shown.
    bool closeRequested = false;
    SessionSignals sessionEnd([&closeRequested] {
        closeRequested = true;
        QApplication::closeAllWindows();
    });

    TDM dm(DataDir());
    // A broken database has shown its message; a window would only add a
    // second, misleading one.
    if (dm.TerminationRequested())
        return 1;
    TMainForm form(dm);
    if (form.StartupFailed())
        return 1;
    form.show();
    if (closeRequested && form.close())
        return 0;
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    VeltraApplication app(argc, argv);
    try {
        return run(app);
    } catch (const std::exception& e) {
        app.ReportError(QString::fromUtf8(e.what()));
    }
    return 1;
}
