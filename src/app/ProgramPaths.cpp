#include "app/ProgramPaths.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString g_appDir;
QString g_dataDir;

QString withTrailingSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

QString AppDirOf(const QString& programFile)
{
    return withTrailingSlash(QFileInfo(programFile).absolutePath());
}

QString DataDirOf(const QString& appDir)
{
    return withTrailingSlash(appDir) + QStringLiteral("Data/");
}

QString InstalledShareOf(const QString& appDir)
{
    return withTrailingSlash(QDir::cleanPath(withTrailingSlash(appDir) + QStringLiteral(VELTRA_SHARE_FROM_BIN)));
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
    const QString guide = withTrailingSlash(appDir) + QStringLiteral("help/index.html");
    const QString installed = InstalledShareOf(appDir) + QStringLiteral("help/index.html");
    return !QFileInfo(guide).isFile() && QFileInfo(installed).isFile() ? installed : guide;
}

void SetProgramPaths(const QString& appDir, const QString& dataDir)
{
    g_appDir = withTrailingSlash(appDir);
    g_dataDir = withTrailingSlash(dataDir);
}

const QString& AppDir() { return g_appDir; }
const QString& DataDir() { return g_dataDir; }
