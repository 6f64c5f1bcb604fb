#include "app/DataFolder.h"

#include "app/ProgramPaths.h"
#include "data/DataPath.h"
#include "data/Messages.h"

#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace {

constexpr QFileDevice::Permissions kOwnerReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner
    | QFileDevice::ReadUser | QFileDevice::WriteUser;

// Copies one file over whatever a broken earlier copy left. Installed files
// may be read-only; the learner's copy must be writable.
bool copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, kOwnerReadWrite);
}

// Everything but the database first; the database arrives under a temporary
// name and is renamed last, so an interrupted copy leaves no qor.db and the
// next start copies again.
bool copyCourse(const QString& sampleDir, const QString& dataDir, const QString& sampleDatabase)
{
    const QDir source(sampleDir);
    QDirIterator it(sampleDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        if (QFileInfo(from) == QFileInfo(sampleDatabase))
            continue;
        const QString to = dataDir + source.relativeFilePath(from);
        if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !copyFile(from, to))
            return false;
    }
    const QString database = dataDir + QStringLiteral("qor.db");
    const QString part = database + QStringLiteral(".part");
    return copyFile(sampleDatabase, part) && QFile::rename(part, database);
}

// The program's options, read from a command line.
struct KnownOptions {
    explicit KnownOptions(const QStringList& arguments)
    {
        parser.addOption(data);
        parser.addOption(help);
        parser.addOption(version);
        sound = parser.parse(arguments) && parser.positionalArguments().isEmpty();
    }

    QCommandLineParser parser;
    const QCommandLineOption data{QStringLiteral("data"), QString(), QStringLiteral("DIR")};
    const QCommandLineOption help{QStringList{QStringLiteral("help"), QStringLiteral("h")}};
    const QCommandLineOption version{QStringLiteral("version")};
    bool sound = false;  // only known options, no stray argument
};

} // namespace

CommandLine ReadCommandLine(const QStringList& arguments, QString& dataDir)
{
    const KnownOptions line(arguments);
    if (!line.sound) {
        const QString fault = line.parser.errorText().isEmpty()
            ? QStringLiteral("多余的参数：%1").arg(line.parser.positionalArguments().value(0))
            : line.parser.errorText();
        ShowError(QStringLiteral("命令行有误：%1\n%2").arg(fault, QString::fromUtf8(kUsage)));
        return CommandLine::Refused;
    }
    if (line.parser.isSet(line.help)) {
        std::fputs(kUsage, stdout);
        std::fputs("\n  --data 数据文件夹  使用这个数据文件夹，不按默认顺序查找\n"
                   "  --version         显示版本号\n", stdout);
        std::fflush(stdout);
        return CommandLine::Answered;
    }
    if (line.parser.isSet(line.version)) {
        std::fputs("veltra " VELTRA_VERSION "\n", stdout);
        std::fflush(stdout);
        return CommandLine::Answered;
    }
    dataDir = line.parser.value(line.data);
    return CommandLine::Run;
}

bool AnswersWithoutWindows(const QStringList& arguments)
{
    const KnownOptions line(arguments);
    return line.sound && (line.parser.isSet(line.help) || line.parser.isSet(line.version));
}

bool HoldsDatabase(const QString& dataDir)
{
    const QString old = ResolveDataPath(dataDir, QStringLiteral("qor.mdb"));
    return !FindDatabaseFile(dataDir).isEmpty() || (!old.isEmpty() && QFileInfo(old).isFile());
}

QString ChooseDataDir(const QString& requested, const QString& appDir, const QString& userDataDir)
{
    if (!requested.isEmpty())
        return WithTrailingSlash(QDir::cleanPath(QFileInfo(requested).absoluteFilePath()));
    const QString portable = DataDirOf(appDir);
    return HoldsDatabase(portable) ? portable : WithTrailingSlash(userDataDir);
}

QString MissingFolderMessage(const QString& requested, const QString& dataDir)
{
    const QFileInfo info(dataDir);
    if (requested.isEmpty() || info.isDir())
        return QString();
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(dataDir));
    return info.exists() ? QStringLiteral("%1 不是文件夹，不能用作数据文件夹。").arg(folder)
                         : QStringLiteral("数据文件夹不存在：%1").arg(folder);
}

QString UserDataDir()
{
    // Not the application's name, which is the Chinese display name.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/veltra/Data/");
}

bool ProvideSampleCourse(const QString& dataDir, const QString& sampleDir, const QString& courseTool)
{
    const QString sampleDatabase = FindDatabaseFile(sampleDir);
    if (HoldsDatabase(dataDir) || sampleDatabase.isEmpty())
        return true;
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(dataDir));
    if (!QDir().mkpath(dataDir) || !copyCourse(sampleDir, dataDir, sampleDatabase)) {
        ShowError(QStringLiteral("无法把示例课程复制到 %1，请检查该文件夹是否可写。").arg(folder));
        return false;
    }
    ShowInfo(QStringLiteral("首次启动：示例课程已复制到\n%1\n学习进度、笔记和选项都保存在这个文件夹里。\n\n"
                            "旧版的数据文件夹（含 qor.mdb）可以这样转换后放进来：\n"
                            "%2 import --replace 旧数据文件夹 %1")
                 .arg(folder, courseTool));
    return true;
}
