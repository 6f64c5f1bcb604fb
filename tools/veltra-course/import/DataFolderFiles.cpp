#include "DataFolderFiles.h"

#include "data/DataPath.h"
#include "data/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cerrno>

namespace {

// Copies go into a staging folder, which is synced once, as a whole.
constexpr WholeFileOptions kStagedCopy{false, 0644};

class Copier {
public:
    Copier(const QString& shownDir, const std::function<bool()>& stop, ImportText& error)
        : m_shownDir(shownDir), m_stop(stop), m_error(error)
    {
    }

    // `to` is relative to the staging folder `stagingDir`.
    bool copy(const QString& from, const QString& stagingDir, const QString& to)
    {
        const WholeFileFailure failure = CopyWholeFile(from, stagingDir + QLatin1Char('/') + to, kStagedCopy, m_stop);
        if (failure.code == ECANCELED)
            return false;
        if (!failure.failed())
            return true;
        const ImportText reason = SystemReason(failure.code);
        const QString folder = QFileInfo(shown(to)).path();
        m_error = {QStringLiteral("cannot copy %1 to %2: %3").arg(from, folder, reason.english),
                   QStringLiteral("无法把 %1 复制到 %2：%3").arg(from, folder, reason.chinese)};
        return false;
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

    QString m_shownDir;
    const std::function<bool()>& m_stop;
    ImportText& m_error;
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
