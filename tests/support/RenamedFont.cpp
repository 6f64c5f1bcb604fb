#include "support/RenamedFont.h"

#include <QtEndian>

namespace {

void Append16(QByteArray& b, quint16 v)
{
    b.append(char(v >> 8));
    b.append(char(v & 0xff));
}

// A "name" table of format 0 with the Windows English names only.
QByteArray NameTable(const QString& family)
{
    const QString names[] = {family, QStringLiteral("Regular"), family, family};
    const quint16 ids[] = {1, 2, 4, 6};
    QByteArray strings;
    QByteArray table;
    Append16(table, 0);
    Append16(table, 4);
    Append16(table, 6 + 4 * 12);
    for (int i = 0; i < 4; ++i) {
        QByteArray utf16;
        for (QChar c : names[i])
            Append16(utf16, c.unicode());
        Append16(table, 3);      // Windows
        Append16(table, 1);      // Unicode
        Append16(table, 0x409);  // English
        Append16(table, ids[i]);
        Append16(table, quint16(utf16.size()));
        Append16(table, quint16(strings.size()));
        strings += utf16;
    }
    return table + strings;
}

quint32 CheckSum(const QByteArray& table)
{
    QByteArray padded = table;
    padded.append((4 - padded.size() % 4) % 4, '\0');
    quint32 sum = 0;
    for (qsizetype i = 0; i < padded.size(); i += 4)
        sum += qFromBigEndian<quint32>(padded.constData() + i);
    return sum;
}

} // namespace

QByteArray RenameFontFamily(const QByteArray& ttf, const QString& family)
{
    if (ttf.size() < 12 || qFromBigEndian<quint32>(ttf.constData()) != 0x00010000)
        return {};
    const int tables = qFromBigEndian<quint16>(ttf.constData() + 4);
    QByteArray out = ttf;
    out.append((4 - out.size() % 4) % 4, '\0');
    for (int i = 0; i < tables; ++i) {
        const qsizetype record = 12 + 16 * i;
        if (record + 16 > ttf.size())
            return {};
        if (ttf.mid(record, 4) != "name")
            continue;
        const QByteArray names = NameTable(family);
        qToBigEndian<quint32>(CheckSum(names), out.data() + record + 4);
        qToBigEndian<quint32>(quint32(out.size()), out.data() + record + 8);
        qToBigEndian<quint32>(quint32(names.size()), out.data() + record + 12);
        return out + names;
    }
    return {};
}
