#include "app/ProgramPaths.h"

#include "data/DataPath.h"

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
    return withTrailingSlash(appDir) + QStringLiteral("help/index.html");
}

void SetProgramPaths(const QString& appDir)
{
    g_appDir = withTrailingSlash(appDir);
    g_dataDir = DataDirOf(g_appDir);
}

const QString& AppDir() { return g_appDir; }
const QString& DataDir() { return g_dataDir; }
