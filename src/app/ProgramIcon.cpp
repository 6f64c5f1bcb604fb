#include "app/ProgramIcon.h"

#include "app/ProgramPaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

QIcon iconFrom(const QString& hicolor)
{
    QIcon icon;
    for (const int size : kSizes) {
        const QString png = QStringLiteral("%1%2x%2/apps/io.github.veltra.Veltra.png").arg(hicolor).arg(size);
        if (QFileInfo(png).isFile())
            icon.addFile(png, QSize(size, size));
    }
    return icon;
}

} // namespace

QIcon ProgramIconOf(const QString& appDir)
{
    const QIcon built = iconFrom(QDir(appDir).filePath(QStringLiteral("icons/hicolor/")));
    if (!built.isNull())
        return built;
    return iconFrom(QDir::cleanPath(InstalledShareOf(appDir) + QStringLiteral("../icons/hicolor")) + u'/');
}
