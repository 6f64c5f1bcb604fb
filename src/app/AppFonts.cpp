#include "app/AppFonts.h"

#include "data/DataPath.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

bool isFamilyInstalled(const QString& family)
{
    const QStringList families = QFontDatabase::families();
    for (const QString& installed : families) {
        if (installed.compare(family, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

int EnsurePhoneticFont(const QString& dataDir)
{
    if (isFamilyInstalled(QStringLiteral("PDFont1")))
        return -1;
    const QString file = ResolveDataPath(dataDir, QStringLiteral("PDFont1.ttf"));
    return file.isEmpty() ? -1 : QFontDatabase::addApplicationFont(file);
}

void InstallFontSubstitutions()
{
    // CJK faces first for Chinese; DejaVu covers IPA and Latin fallbacks.
    const QStringList song = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("DejaVu Sans")};
    const QStringList li = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                            QStringLiteral("DejaVu Serif")};
    const QStringList latin = {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("隶书"), li);
    QFont::insertSubstitutions(QStringLiteral("Arial"), latin);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), latin);
}

QFont SongTiFont(int pixelSize)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    return font;
}
