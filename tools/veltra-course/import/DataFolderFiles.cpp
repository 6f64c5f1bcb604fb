#include "DataFolderFiles.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace {

// Containers run to a few megabytes: a large buffer moves most in one call.
constexpr size_t kCopyBuffer = size_t(1) << 20;
// What the kernel copies in one call where it copies by itself, between
// two looks at `stop`.
constexpr size_t kKernelCopy = size_t(16) << 20;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closing may report a write that failed late (on a network disk).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

class Copier {
public:
    Copier(const QString& shownDir, const std::function<bool()>& stop, ImportText& error)
        : m_shownDir(shownDir), m_stop(stop), m_error(error), m_buffer(kCopyBuffer)
    {
    }

    // `to` is relative to the staging folder `stagingDir`.
    bool copy(const QString& from, const QString& stagingDir, const QString& to)
    {
        const FileDescriptor in(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
        if (in.get() < 0)
            return failed(from, to);
        FileDescriptor out(::open(QFile::encodeName(stagingDir + QLatin1Char('/') + to).constData(),
                                  O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (out.get() < 0)
            return failed(from, to);
        // The kernel copies without a trip through our buffer where the file
        // systems let it; where they do not, the buffer takes over.
        bool inKernel = true;
        for (;;) {
            if (m_stop && m_stop())
                return false;
            if (inKernel) {
                const ssize_t n = copy_file_range(in.get(), nullptr, out.get(), nullptr, kKernelCopy, 0);
                if (n == 0)
                    break;
                inKernel = n > 0 || errno == EINTR;
                continue;
            }
            const ssize_t n = ::read(in.get(), m_buffer.data(), m_buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || (n > 0 && !WriteAll(out.get(), m_buffer.data(), size_t(n))))
                return failed(from, to);
            if (n == 0)
                break;
        }
        return out.close() || failed(from, to);
    }

    // One book's containers; returns how many were copied, -1 on failure.
    int copyContainers(const QString& from, const QString& stagingDir, const QString& book)
    {
        if (!QDir(stagingDir).mkpath(book)) {
            m_error = {QStringLiteral("cannot create the folder %1").arg(shown(book)),
                       QStringLiteral("无法建立文件夹 %1").arg(shown(book))};
            return -1;
        }
        QSet<QString> copied;
        const QFileInfoList entries = QDir(from).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo& entry : entries) {
            const QString suffix = entry.suffix().toLower();
            if (suffix != QLatin1String("qor") && suffix != QLatin1String("qow"))
                continue;
            const QString name = entry.completeBaseName() + QLatin1Char('.') + suffix;
            // Of names that differ only in case, the program's spelling wins.
            if (copied.contains(name) && entry.fileName() != name)
                continue;
            if (!copy(entry.filePath(), stagingDir, book + QLatin1Char('/') + name))
                return -1;
            copied.insert(name);
        }
        return int(copied.size());
    }

private:
    QString shown(const QString& relative) const { return QDir::cleanPath(m_shownDir + QLatin1Char('/') + relative); }

    bool failed(const QString& from, const QString& to)
    {
        const ImportText reason = SystemReason(errno);
        const QString folder = QFileInfo(shown(to)).path();
        m_error = {QStringLiteral("cannot copy %1 to %2: %3").arg(from, folder, reason.english),
                   QStringLiteral("无法把 %1 复制到 %2：%3").arg(from, folder, reason.chinese)};
        return false;
    }

    QString m_shownDir;
    const std::function<bool()>& m_stop;
    ImportText& m_error;
    std::vector<char> m_buffer;
};

} // namespace

bool CopyDataFolderFiles(const QString& oldDir, const QString& stagingDir, const QString& shownDir,
                         const std::function<bool()>& stop, CopiedFiles& copied, ImportText& error)
{
    Copier copier(shownDir, stop, error);
    for (int book = 1; book <= 4; ++book) {
        const QString name = QStringLiteral("qor%1").arg(book);
        const QString from = ResolveDataPath(oldDir, name);
        if (from.isEmpty() || !QFileInfo(from).isDir())
            continue;
        const int n = copier.copyContainers(from, stagingDir, name);
        if (n < 0)
            return false;
        ++copied.books;
        copied.containers += n;
    }
    for (const char* optional : {"PDFont1.ttf", "tmpwav.wav", "qorHelp.chm"}) {
        const QString name = QString::fromLatin1(optional);
        const QString from = ResolveDataPath(oldDir, name);
        if (from.isEmpty() || !QFileInfo(from).isFile())
            continue;
        if (!copier.copy(from, stagingDir, name))
            return false;
        copied.files.append(name);
    }
    return true;
}
