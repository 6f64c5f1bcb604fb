#include "data/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

// Containers run to a few megabytes: a large buffer moves most in one call.
constexpr size_t kCopyBuffer = size_t(1) << 20;
// What the kernel copies in one call, between two looks at `stop`.
constexpr size_t kKernelCopy = size_t(16) << 20;

WholeFileFailure Failure(int code)
{
    return {code, QString::fromLocal8Bit(std::strerror(code))};
}

// 0, or the errno of the write that failed.
int WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        data += n;
        size -= size_t(n);
    }
    return 0;
}

// The kernel copies without a trip through our buffer where the file systems
// let it; where they do not, the buffer takes over from where it stopped.
int CopyAll(int in, int out, const std::function<bool()>& stop)
{
    std::vector<char> buffer;
    bool inKernel = true;
    for (;;) {
        if (stop && stop())
            return ECANCELED;
        if (inKernel) {
            const ssize_t n = copy_file_range(in, nullptr, out, nullptr, kKernelCopy, 0);
            if (n == 0)
                return 0;
            inKernel = n > 0 || errno == EINTR;
            continue;
        }
        if (buffer.empty())
            buffer.resize(kCopyBuffer);
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0 ? 0 : errno;
        if (const int failed = WriteAll(out, buffer.data(), size_t(n)))
            return failed;
    }
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // 0, or the errno of a write that failed late (on a network disk).
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int m_fd;
};

// The new content, under a hidden name of its own beside the file it is to
// become; removed unless it took that file's name.
class PendingFile {
public:
    explicit PendingFile(const QString& path)
    {
        const QFileInfo info(path);
        m_target = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : path);
    }
    ~PendingFile()
    {
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    int fd() const { return m_file.get(); }

    // 0, or the errno that refused it.
    int create(unsigned permissions)
    {
        struct stat existing;
        const bool replaces = ::stat(m_target.constData(), &existing) == 0;
        if (replaces && S_ISDIR(existing.st_mode))
            return EISDIR;
        const qsizetype slash = m_target.lastIndexOf('/');
        const QByteArray stem = m_target.left(slash + 1) + '.' + m_target.mid(slash + 1) + '.';
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = stem + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode_t(permissions));
            if (fd < 0 && errno == EEXIST)
                continue;
            if (fd < 0)
                return errno;
            m_file.reset(fd);
            m_name = name;
            return replaces && ::fchmod(m_file.get(), existing.st_mode & 07777) != 0 ? errno : 0;
        }
        return EEXIST;
    }

    // 0, or the errno of the step that failed.
    int place(bool sync)
    {
        if (sync && ::fsync(m_file.get()) != 0)
            return errno;
        if (const int failed = m_file.close())
            return failed;
        if (::rename(m_name.constData(), m_target.constData()) != 0)
            return errno;
        m_name.clear();
        return 0;
    }

private:
    QByteArray m_target;
    QByteArray m_name;
    FileDescriptor m_file;
};

} // namespace

WholeFileFailure WriteWholeFile(const QString& path, const QByteArray& bytes, const WholeFileOptions& options)
{
    PendingFile file(path);
    int failed = file.create(options.permissions);
    if (!failed)
        failed = WriteAll(file.fd(), bytes.constData(), size_t(bytes.size()));
    if (!failed)
        failed = file.place(options.sync);
    return failed ? Failure(failed) : WholeFileFailure();
}

WholeFileFailure CopyWholeFile(const QString& from, const QString& path, const WholeFileOptions& options,
                               const std::function<bool()>& stop)
{
    const FileDescriptor in(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return Failure(errno);
    PendingFile file(path);
    int failed = file.create(options.permissions);
    if (!failed)
        failed = CopyAll(in.get(), file.fd(), stop);
    if (!failed)
        failed = file.place(options.sync);
    return failed ? Failure(failed) : WholeFileFailure();
}

QString SaveWholeFile(const QString& path, const QByteArray& bytes)
{
    return WriteWholeFile(path, bytes).reason;
}
