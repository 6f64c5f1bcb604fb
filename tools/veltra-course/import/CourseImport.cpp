#include "CourseImport.h"

#include "AccessFile.h"
#include "DataFolderFiles.h"
#include "ImportFolders.h"
#include "ImportedTables.h"
#include "StagingFolder.h"

#include "data/BookName.h"
#include "data/DataPath.h"
#include "data/Schema.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace {

// A free name beside `path` telling when it was replaced.
QString ReplacedName(const QString& path)
{
    const QString base = path + QStringLiteral(".replaced-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return name;
}

ImportText Unreadable(const QString& mdb, const QString& detail)
{
    return {detail.startsWith(mdb) ? detail : QStringLiteral("%1: %2").arg(mdb, detail),
            QStringLiteral("无法读取旧版词库 %1：文件已损坏，或者不是本软件的词库。").arg(mdb)};
}

ImportText Unwritten(TablesWritten written, const QString& newDir, const QString& detail)
{
    if (written == TablesWritten::DiskFull)
        return {QStringLiteral("cannot write the new database: the disk holding %1 is full").arg(newDir),
                QStringLiteral("无法写入新词库：%1 所在的磁盘已满。").arg(newDir)};
    return {QStringLiteral("cannot write the new database in %1: %2").arg(newDir, detail),
            QStringLiteral("无法在 %1 中写入新词库：%2").arg(newDir, detail)};
}

// What a table holds, for the learner, who knows no table names.
QString TableContents(const QString& table)
{
    static const QRegularExpression book(QStringLiteral("^tblQor(\\d)$"));
    if (const QRegularExpressionMatch m = book.match(table); m.hasMatch())
        return QStringLiteral("%1课文").arg(BookName(m.captured(1).toInt()));
    static const QHash<QString, QString> names = {
        {QStringLiteral("tblOptions"), QStringLiteral("选项")},  {QStringLiteral("tblContent"), QStringLiteral("课程目录")},
        {QStringLiteral("tblQor"), QStringLiteral("单词")},      {QStringLiteral("tblNote"), QStringLiteral("课程笔记")},
        {QStringLiteral("tblExplain"), QStringLiteral("重点讲解")},
    };
    return names.value(table, table);
}

ImportText TableLine(const TableCount& c)
{
    return {QStringLiteral("%1: %2 rows read, %3 rows written").arg(c.table).arg(c.read).arg(c.written),
            QStringLiteral("%1：读出 %2 行，写入 %3 行").arg(TableContents(c.table)).arg(c.read).arg(c.written)};
}

ImportText FilesLine(const CopiedFiles& copied)
{
    ImportText line{QStringLiteral("files: %1 book folders with %2 containers").arg(copied.books).arg(copied.containers),
                    QStringLiteral("已复制 %1 个课本文件夹中的 %2 个录音文件").arg(copied.books).arg(copied.containers)};
    if (!copied.files.isEmpty()) {
        line.english += QStringLiteral(", ") + copied.files.join(QStringLiteral(", "));
        line.chinese += QStringLiteral("，以及 ") + copied.files.join(QStringLiteral("、"));
    }
    line.english += QStringLiteral(" copied");
    return line;
}

ImportText KeptLine(const QString& kept, bool folder)
{
    if (folder)
        return {QStringLiteral("the replaced folder is kept as %1").arg(kept),
                QStringLiteral("原来的文件夹已改名保存为 %1").arg(kept)};
    return {QStringLiteral("the replaced qor.db is kept as %1").arg(kept),
            QStringLiteral("原来的 qor.db 已改名保存为 %1").arg(kept)};
}

} // namespace

ImportResult ImportCourse(const QString& oldDir, const QString& newDir, const ImportOptions& options,
                          const std::function<void(const ImportText&)>& report, ImportText& message)
{
    ImportFolders folders;
    if (!CheckImportFolders(oldDir, newDir, options.replace, folders, message))
        return ImportResult::BadInput;
    AccessFile access;
    QString error;
    if (!access.open(folders.mdb, error)) {
        message = Unreadable(folders.mdb, error);
        return ImportResult::Failed;
    }
    StagingFolder staging(newDir, folders.sameFolder ? StagingFolder::Place::InsideTarget
                                                     : StagingFolder::Place::BesideTarget);
    if (!staging.create(error)) {
        message = {error, QStringLiteral("无法在 %1 中写入新词库。").arg(newDir)};
        return ImportResult::Failed;
    }

    const int steps = int(SchemaTables().size()) + 1;
    int step = 0;
    auto progress = [&](const ImportText& line) {
        const QString count = QStringLiteral("[%1/%2] ").arg(++step).arg(steps);
        report({count + line.english, count + line.chinese});
    };
    const TablesWritten written = WriteImportedTables(access, staging.path() + QStringLiteral("/qor.db"),
                                                      [&](const TableCount& c) { progress(TableLine(c)); },
                                                      options.stop, error);
    switch (written) {
    case TablesWritten::Written:
        break;
    case TablesWritten::Stopped:
        return ImportResult::Stopped;
    case TablesWritten::ReadFailed:
        message = Unreadable(folders.mdb, error);
        return ImportResult::Failed;
    case TablesWritten::WriteFailed:
    case TablesWritten::DiskFull:
        message = Unwritten(written, newDir, error);
        return ImportResult::Failed;
    }

    const QString kept = folders.replacedDb.isEmpty() ? QString()
        : ReplacedName(folders.sameFolder ? folders.replacedDb : staging.target());
    if (folders.sameFolder) {
        progress({QStringLiteral("files: the containers stay where they are"), QStringLiteral("录音文件留在原处")});
        if (!staging.commitFile(QStringLiteral("qor.db"), QStringLiteral("qor.db"), folders.replacedDb, kept, error)) {
            message = {error, QStringLiteral("无法把新词库放进 %1。").arg(newDir)};
            return ImportResult::Failed;
        }
    } else {
        CopiedFiles copied;
        if (!CopyDataFolderFiles(oldDir, staging.path(), newDir, options.stop, copied, message))
            return message.isEmpty() ? ImportResult::Stopped : ImportResult::Failed;
        progress(FilesLine(copied));
        if (!staging.commit(error, kept)) {
            message = {error, QStringLiteral("无法把新的数据文件夹放到 %1。").arg(newDir)};
            return ImportResult::Failed;
        }
    }
    message = kept.isEmpty() ? ImportText() : KeptLine(kept, !folders.sameFolder);
    return ImportResult::Imported;
}
