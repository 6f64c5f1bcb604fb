#include "app/ProgramPaths.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString g_appDir;
QString g_dataDir;

} // namespace

QString WithTrailingSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString AppDirOf(const QString& programFile)
{
    return WithTrailingSlash(QFileInfo(programFile).absolutePath());
}

QString DataDirOf(const QString& appDir)
{
    return WithTrailingSlash(appDir) + QStringLiteral("Data/");
}

QString InstalledShareOf(const QString& appDir)
{
    return WithTrailingSlash(QDir::cleanPath(WithTrailingSlash(appDir) + QStringLiteral(VELTRA_SHARE_FROM_BIN)));
}

QString FindDatabaseFile(const QString& dataDir)
{
    const QString path = ResolveDataPath(dataDir, QStringLiteral("qor.db"));
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

QString HelpFileOf(const QString& appDir)
{
    const QString compiled = ResolveDataPath(appDir, QStringLiteral("qorHelp.chm"));
    if (!compiled.isEmpty() && QFileInfo(compiled).isFile())
        return compiled;
    const QString guide = WithTrailingSlash(appDir) + QStringLiteral("help/index.html");
    const QString installed = InstalledShareOf(appDir) + QStringLiteral("help/index.html");
    return !QFileInfo(guide).isFile() && QFileInfo(installed).isFile() ? installed : guide;
}

void SetProgramPaths(const QString& appDir, const QString& dataDir)
{
    g_appDir = WithTrailingSlash(appDir);
    g_dataDir = WithTrailingSlash(dataDir);
}

const QString& AppDir() { return g_appDir; }
const QString& DataDir() { return g_dataDir; }
