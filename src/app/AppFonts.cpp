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
    // The windows name Windows faces; each maps to the closest face the
    // set-up script installs: the Song (Ming) face for 宋体, and for 隶书,
    // whose brush strokes no installed face has; plain sans faces for the
    // Latin grid fonts. Later entries carry the glyphs a face lacks (IPA in
    // DejaVu).
    const QStringList song = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("DejaVu Serif")};
    const QStringList latin = {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("隶书"), song);
    QFont::insertSubstitutions(QStringLiteral("Arial"), latin);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), latin);
}

QFont SongTiFont(int pixelSize)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    return font;
}
