#include "AccessDamage.h"

namespace {

// The map's first byte says how it lists pages: a bitmap starting at a base
// page, or references to pages that hold the bitmap.
constexpr unsigned char kInlineMap = 0;
constexpr unsigned char kPageMap = 1;
constexpr size_t kInlineMapHeader = 5;  // kind, base page

} // namespace

bool UsageMapIsSound(const MdbTableDef& table, QString& what)
{
    if (!table.usage_map || table.map_sz == 0) {
        what = QStringLiteral("its list of data pages is missing");
        return false;
    }
    const unsigned char kind = table.usage_map[0];
    if ((kind == kInlineMap && table.map_sz < kInlineMapHeader) || (kind != kInlineMap && kind != kPageMap)) {
        what = QStringLiteral("its list of data pages is unreadable");
        return false;
    }
    return true;
}
