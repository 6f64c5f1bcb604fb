#include "data/BookName.h"

QString BookName(int book)
{
    switch (book) {
    case 1: return QStringLiteral("第一册");
    case 2: return QStringLiteral("第二册");
    case 3: return QStringLiteral("第三册");
    case 4: return QStringLiteral("第四册");
    default: return {};
    }
}
