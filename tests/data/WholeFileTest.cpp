#include "data/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <thread>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

unsigned ModeOf(const QString& path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

QStringList EntriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Runs `write` on a thread that file permissions bind, as they bind a
// learner: root's right to override them is dropped for that thread alone
// (capabilities belong to threads).
WholeFileFailure BoundByPermissions(const std::function<WholeFileFailure()>& write)
{
    WholeFileFailure result;
    std::thread([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) == 0) {
            data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            syscall(SYS_capset, &header, data);
        }
        result = write();
    }).join();
    return result;
}

// The system's reason for each refusal, and nothing left behind by it.
TEST(WholeFile, FailuresKeepTheSystemsReason)
{
    QTemporaryDir dir;
    const QString readOnly = dir.filePath(QStringLiteral("read-only"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0555), 0);
    const QString inTheWay = dir.filePath(QStringLiteral("in-the-way"));
    ASSERT_TRUE(QDir().mkpath(inTheWay));
    const QString source = dir.filePath(QStringLiteral("source"));
    ASSERT_TRUE(WriteWholeFile(source, "source bytes").code == 0);

    const struct {
        const char* name;
        QString path;
        int code;
    } cases[] = {
        {"a read-only folder", readOnly + QStringLiteral("/new"), EACCES},
        {"a folder of that name", inTheWay, EISDIR},
        {"a missing folder", dir.filePath(QStringLiteral("missing/new")), ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const WholeFileFailure written = BoundByPermissions([&] { return WriteWholeFile(c.path, "bytes"); });
        EXPECT_EQ(written.code, c.code);
        EXPECT_EQ(written.reason, QString::fromLocal8Bit(std::strerror(c.code)));
        const WholeFileFailure copied = BoundByPermissions([&] { return CopyWholeFile(source, c.path); });
        EXPECT_EQ(copied.code, c.code);
    }
    EXPECT_EQ(SaveWholeFile(inTheWay, "bytes"), QString::fromLocal8Bit(std::strerror(EISDIR)));
    EXPECT_EQ(CopyWholeFile(dir.filePath(QStringLiteral("no-source")), dir.filePath(QStringLiteral("copy"))).code, ENOENT);
    EXPECT_EQ(EntriesOf(dir.path()), QStringList({"in-the-way", "read-only", "source"}));
    EXPECT_EQ(EntriesOf(readOnly), QStringList());
    EXPECT_EQ(EntriesOf(inTheWay), QStringList());
    ::chmod(QFile::encodeName(readOnly).constData(), 0755);
}

// A new file gets the mode asked for (less the umask), a replaced one keeps
// its own, a link is written through, and only the files asked for remain.
TEST(WholeFile, ReplacesKeepingModeAndLinks)
{
    QTemporaryDir dir;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const QString fresh = dir.filePath(QStringLiteral("fresh"));
    ASSERT_EQ(WriteWholeFile(fresh, "one", {.sync = false, .permissions = 0640}).code, 0);
    EXPECT_EQ(Contents(fresh), "one");
    EXPECT_EQ(ModeOf(fresh), 0640u & ~mask);

    ASSERT_EQ(::chmod(QFile::encodeName(fresh).constData(), 0600), 0);
    ASSERT_EQ(WriteWholeFile(fresh, "two").code, 0);
    EXPECT_EQ(Contents(fresh), "two");
    EXPECT_EQ(ModeOf(fresh), 0600u);

    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(fresh, link));
    ASSERT_EQ(WriteWholeFile(link, "three").code, 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Contents(fresh), "three");

    const QString copy = dir.filePath(QStringLiteral("copy"));
    const QByteArray big = QByteArray("0123456789abcdef").repeated(300000);  // several pieces
    ASSERT_EQ(WriteWholeFile(fresh, big).code, 0);
    ASSERT_EQ(CopyWholeFile(fresh, copy).code, 0);
    EXPECT_TRUE(Contents(copy) == big);
    EXPECT_EQ(EntriesOf(dir.path()), QStringList({"copy", "fresh", "link"}));
}

// A copy told to stop leaves the file it would have replaced as it was.
TEST(WholeFile, AStoppedCopyChangesNothing)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    const QString target = dir.filePath(QStringLiteral("target"));
    ASSERT_EQ(WriteWholeFile(source, "new").code, 0);
    ASSERT_EQ(WriteWholeFile(target, "old").code, 0);
    const WholeFileFailure stopped = CopyWholeFile(source, target, {}, [] { return true; });
    EXPECT_EQ(stopped.code, ECANCELED);
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(EntriesOf(dir.path()), QStringList({"source", "target"}));
}

} // namespace
