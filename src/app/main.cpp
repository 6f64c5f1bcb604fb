#include "app/AppFonts.h"
#include "app/DataFolder.h"
#include "app/ImportOffer.h"
#include "app/MainFrm.h"
#include "app/ProgramIcon.h"
#include "app/ProgramPaths.h"
#include "app/QtMessages.h"
#include "app/SessionSignals.h"
#include "app/SingleInstance.h"
#include "app/VeltraApplication.h"
#include "audio/TempFolder.h"
#include "data/DMUnit.h"
#include "data/Messages.h"

#include <QCoreApplication>
#include <QTranslator>

#include <exception>

namespace {

int run(VeltraApplication& app)
{
    // Without a screen the default messages, on standard error, stand in.
    QtMessages messages;
    ScopedMessages installed(CanShowWindows() ? &messages : nullptr);

    // Logout, `kill` and Ctrl+C close the windows as the learner would. One
    // that comes while start-up shows a message ends the start-up there, or
    // closes the window once shown.
    SessionSignals sessionEnd([] { QApplication::closeAllWindows(); });

    // Ties the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.veltra.Veltra"));

    QString requestedData;
    switch (ReadCommandLine(QCoreApplication::arguments(), requestedData)) {
    case CommandLine::Run:
        break;
    case CommandLine::Answered:
        return 0;
    case CommandLine::Refused:
        return 1;
    }
    const QString appDir = AppDirOf(QCoreApplication::applicationFilePath());
    QApplication::setWindowIcon(ProgramIconOf(appDir));

    const QString userData = UserDataDir();
    const QString dataDir = ChooseDataDir(requestedData, appDir, userData);
    if (const QString missing = MissingFolderMessage(requestedData, dataDir); !missing.isEmpty()) {
        ShowError(missing);
        return 1;
    }
    // An installed program's first start: the learner's folder gets the
    // sample course.
    if (dataDir == userData
        && !ProvideSampleCourse(dataDir, InstalledShareOf(appDir) + QStringLiteral("sample/Data/"),
                                CourseToolOf(appDir)))
        return 1;
    SetProgramPaths(appDir, dataDir);
    // An old data folder (qor.mdb only) may be converted first, if the learner agrees.
    if (FindDatabaseFile(DataDir()).isEmpty()) {
        switch (OfferImport(DataDir(), CourseToolOf(appDir), &sessionEnd)) {
        case ImportOutcome::Imported:
            break;
        case ImportOutcome::NotImported:  // its message was the last word
            return sessionEnd.SessionEnding() ? 0 : 1;
        case ImportOutcome::NoOldDatabase:
            if (sessionEnd.SessionEnding())
                return 0;
            ShowError(QStringLiteral("词库文件未找到，请重新安装本软件！"));
            return 1;
        }
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

    TDM dm(DataDir());
    // A broken database has shown its message; a window would only add a
    // second, misleading one.
    if (dm.TerminationRequested())
        return 1;
    TMainForm form(dm);
    if (form.StartupFailed())
        return 1;
    form.show();
    if (sessionEnd.SessionEnding() && form.close())
        return 0;
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (AnswersWithoutWindows(arguments)) {
        QString unused;
        return ReadCommandLine(arguments, unused) == CommandLine::Answered ? 0 : 1;
    }
    // Without a window system, creating the application would abort: a
    // wrong option is refused on the terminal instead, in Qt's Chinese.
    if (!WindowSystemGiven(argc, argv)) {
        QCoreApplication core(argc, argv);
        QTranslator qtChinese;
        if (LoadQtChinese(qtChinese))
            QCoreApplication::installTranslator(&qtChinese);
        QString unused;
        if (ReadCommandLine(QCoreApplication::arguments(), unused) == CommandLine::Refused)
            return 1;
        // Otherwise on to the window system's own message.
    }
    VeltraApplication app(argc, argv);
    try {
        return run(app);
    } catch (const std::exception& e) {
        app.ReportError(QString::fromUtf8(e.what()));
    }
    return 1;
}
