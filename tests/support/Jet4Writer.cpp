#include "support/Jet4Writer.h"

#include <QtEndian>

#include <cstring>
#include <utility>

namespace {

constexpr int kPageSize = 4096;
constexpr int kRowCountAt = 12;     // data pages: row count, then the row offsets
constexpr int kRowOffsetsAt = 14;
constexpr int kInlineMemoLimit = 1000;
constexpr int kLongValueChunk = kPageSize - kRowOffsetsAt - 2 - 4;  // one row per page, 4 bytes of chain
constexpr uint16_t kDeletedRowFlag = 0x8000;
constexpr int kHeaderCipherAt = 0x18;
constexpr int kHeaderCipherLength = 128;

void Put16(QByteArray& b, int at, uint32_t v) { qToLittleEndian<uint16_t>(uint16_t(v), b.data() + at); }
void Put32(QByteArray& b, int at, uint32_t v) { qToLittleEndian<uint32_t>(v, b.data() + at); }

void Append16(QByteArray& b, uint32_t v)
{
    b.append(2, '\0');
    Put16(b, int(b.size()) - 2, v);
}

void Append32(QByteArray& b, uint32_t v)
{
    b.append(4, '\0');
    Put32(b, int(b.size()) - 4, v);
}

QByteArray Utf16Le(const QString& s)
{
    QByteArray out;
    for (QChar c : s)
        Append16(out, c.unicode());
    return out;
}

// Access stores text as UTF-16, or "compressed" (FF FE, then one byte per
// character) when every character fits a byte.
QByteArray StoredText(const QString& s, bool mayCompress)
{
    bool narrow = mayCompress && !s.isEmpty();
    for (QChar c : s)
        narrow = narrow && c.unicode() > 0 && c.unicode() < 0x100;
    return narrow ? QByteArray("\xff\xfe") + s.toLatin1() : Utf16Le(s);
}

bool IsFixed(JetType t) { return t != JetType::Text && t != JetType::Memo && t != JetType::Ole; }

int FixedSize(JetType t)
{
    switch (t) {
    case JetType::Byte: return 1;
    case JetType::Integer: return 2;
    case JetType::Long: return 4;
    case JetType::Double:
    case JetType::DateTime: return 8;
    default: return 0;
    }
}

QByteArray FixedValue(JetType t, const QVariant& v)
{
    QByteArray out(FixedSize(t), '\0');
    switch (t) {
    case JetType::Byte: out[0] = char(v.toInt()); break;
    case JetType::Integer: Put16(out, 0, uint32_t(v.toInt())); break;
    case JetType::Long: Put32(out, 0, uint32_t(v.toLongLong())); break;
    case JetType::Double:
    case JetType::DateTime: {
        const double d = v.toDouble();
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        qToLittleEndian<uint64_t>(bits, out.data());
        break;
    }
    default: break;
    }
    return out;
}

QByteArray DataPageHeader(uint32_t owner)
{
    QByteArray page(kPageSize, '\0');
    page[0] = 0x01;
    page[1] = 0x01;
    Put32(page, 4, owner);
    return page;
}

// A data page filled with rows from its end towards its header.
class DataPage {
public:
    explicit DataPage(uint32_t owner) : m_bytes(DataPageHeader(owner)) {}

    bool fits(int rowSize) const { return m_top - rowSize >= kRowOffsetsAt + 2 * (int(m_offsets.size()) + 1); }
    bool isEmpty() const { return m_offsets.isEmpty(); }

    int add(const QByteArray& row, uint16_t flags = 0)
    {
        m_top -= int(row.size());
        std::memcpy(m_bytes.data() + m_top, row.constData(), size_t(row.size()));
        m_offsets.append(uint16_t(m_top) | flags);
        return int(m_offsets.size()) - 1;
    }

    QByteArray finish()
    {
        const int end = kRowOffsetsAt + 2 * int(m_offsets.size());
        Put16(m_bytes, 2, uint32_t(m_top - end));
        Put16(m_bytes, kRowCountAt, uint32_t(m_offsets.size()));
        for (int i = 0; i < m_offsets.size(); ++i)
            Put16(m_bytes, kRowOffsetsAt + 2 * i, m_offsets[i]);
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    QList<uint16_t> m_offsets;
    int m_top = kPageSize;
};

const uint32_t kLongValueOwner = qFromLittleEndian<uint32_t>("LVAL");

struct ColumnLayout {
    int fixedOffset = 0;  // fixed columns: where in the fixed area
    int varIndex = 0;     // variable columns: position among them
};

QList<ColumnLayout> Layout(const QList<JetColumn>& columns, int& fixedTotal, int& varCount)
{
    QList<ColumnLayout> layout;
    fixedTotal = 0;
    varCount = 0;
    for (const JetColumn& c : columns) {
        ColumnLayout l;
        if (IsFixed(c.type)) {
            l.fixedOffset = fixedTotal;
            fixedTotal += FixedSize(c.type);
        } else {
            l.varIndex = varCount++;
        }
        layout.append(l);
    }
    return layout;
}

class FileWriter {
public:
    explicit FileWriter(const JetOptions& options) : m_options(options)
    {
        m_pages.append(QByteArray(kPageSize, '\0'));  // header, written last
        QByteArray map(kPageSize, '\0');              // the file's own page map: unused by readers
        map[0] = 0x05;
        map[1] = 0x01;
        m_pages.append(map);
    }

    QByteArray write(const QList<JetTable>& userTables)
    {
        // Page 2 is always the catalogue's definition, the user tables' follow.
        QList<JetTable> tables{Catalogue()};
        tables.append(userTables);
        QList<int> definitionPages;
        for (qsizetype i = 0; i < tables.size(); ++i)
            definitionPages.append(reserve());
        for (qsizetype i = 1; i < tables.size(); ++i)
            tables[0].rows.append({definitionPages[i], 0, tables[i].name, 1, 0, QVariant()});

        QList<QList<int>> dataPages;  // of each table, in order
        for (qsizetype i = 0; i < tables.size(); ++i)
            dataPages.append(writeRows(tables[i], uint32_t(definitionPages[i])));

        DataPage maps(0);
        QList<uint32_t> usageRows;
        for (const QList<int>& pages : dataPages) {
            // A map of kind 0: the first page it covers, then one bit per page.
            const int first = pages.front();
            QByteArray usage(5, '\0');
            Put32(usage, 1, uint32_t(first));
            usage.append(QByteArray((pages.back() - first) / 8 + 1, '\0'));
            for (int p : pages)
                usage[5 + (p - first) / 8] = char(usage[5 + (p - first) / 8] | (1 << ((p - first) % 8)));
            usageRows.append(uint32_t(maps.add(usage)));
            usageRows.append(uint32_t(maps.add(QByteArray(6, '\0'))));  // no page has free space
        }
        const uint32_t mapPage = uint32_t(m_pages.size());
        m_pages.append(maps.finish());

        for (qsizetype i = 0; i < tables.size(); ++i)
            m_pages[definitionPages[i]] = Definition(tables[i], i == 0, mapPage << 8 | usageRows[2 * i],
                                                     mapPage << 8 | usageRows[2 * i + 1]);
        m_pages[0] = Header();
        QByteArray file;
        for (qsizetype p = 0; p < m_pages.size(); ++p) {
            QByteArray page = m_pages[p];
            if (p > 0 && m_options.pageKey != 0) {
                QByteArray key(4, '\0');
                Put32(key, 0, m_options.pageKey ^ uint32_t(p));
                Rc4(key, page.data(), kPageSize);
            }
            file.append(page);
        }
        return file;
    }

private:
    static JetTable Catalogue()
    {
        JetTable t{QStringLiteral("MSysObjects"),
                   {{"Id", JetType::Long},
                    {"ParentId", JetType::Long},
                    {"Name", JetType::Text},
                    {"Type", JetType::Integer},
                    {"Flags", JetType::Long},
                    {"LvProp", JetType::Ole}},
                   {},
                   {}};
        t.rows.append({2, 0, t.name, 1, qint64(int32_t(0x80000002)), QVariant()});
        return t;
    }

    int reserve()
    {
        m_pages.append(QByteArray(kPageSize, '\0'));
        return int(m_pages.size()) - 1;
    }

    // Pages holding one memo that does not fit its row; returns the 12-byte
    // reference the row stores.
    QByteArray longValue(const QByteArray& stored)
    {
        QByteArray ref;
        if (stored.size() <= kLongValueChunk + 4) {
            DataPage page(kLongValueOwner);
            page.add(stored);
            Append32(ref, uint32_t(stored.size()) | 0x40000000u);
            Append32(ref, uint32_t(m_pages.size()) << 8);
            m_pages.append(page.finish());
        } else {
            const int chunks = int((stored.size() + kLongValueChunk - 1) / kLongValueChunk);
            const int first = int(m_pages.size());
            for (int i = 0; i < chunks; ++i) {
                QByteArray row;
                Append32(row, i + 1 < chunks ? uint32_t(first + i + 1) << 8 : 0);
                row.append(stored.mid(qsizetype(i) * kLongValueChunk, kLongValueChunk));
                DataPage page(kLongValueOwner);
                page.add(row);
                m_pages.append(page.finish());
            }
            Append32(ref, uint32_t(stored.size()));
            Append32(ref, uint32_t(first) << 8);
        }
        Append32(ref, 0);
        return ref;
    }

    QByteArray variableValue(JetType type, const QVariant& v)
    {
        if (type == JetType::Text)
            return StoredText(v.toString(), true);
        const QString text = v.toString();
        const QByteArray stored = StoredText(text, text.size() <= kInlineMemoLimit / 2);
        if (stored.size() > kInlineMemoLimit)
            return longValue(stored);
        QByteArray ref;
        Append32(ref, uint32_t(stored.size()) | 0x80000000u);
        Append32(ref, 0);
        Append32(ref, 0);
        return ref + stored;
    }

    QByteArray row(const JetTable& table, const QVariantList& values)
    {
        int fixedTotal = 0;
        int varCount = 0;
        const QList<ColumnLayout> layout = Layout(table.columns, fixedTotal, varCount);
        const int columns = int(table.columns.size());
        QByteArray out;
        Append16(out, uint32_t(columns));
        out.append(QByteArray(fixedTotal, '\0'));
        QByteArray present((columns + 7) / 8, '\0');
        QList<int> varStarts;
        for (int i = 0; i < columns; ++i) {
            const JetColumn& c = table.columns[i];
            const QVariant& v = values.value(i);
            const bool set = c.type == JetType::Bool ? v.toBool() : !v.isNull();
            if (set)
                present[i / 8] = char(present[i / 8] | (1 << (i % 8)));
            if (IsFixed(c.type)) {
                if (!v.isNull()) {
                    const QByteArray bytes = FixedValue(c.type, v);
                    std::memcpy(out.data() + 2 + layout[i].fixedOffset, bytes.constData(), size_t(bytes.size()));
                }
            } else {
                varStarts.append(int(out.size()));
                if (!v.isNull())
                    out.append(variableValue(c.type, v));
            }
        }
        if (varCount > 0) {
            Append16(out, uint32_t(out.size()));  // end of data
            for (qsizetype k = varStarts.size() - 1; k >= 0; --k)
                Append16(out, uint32_t(varStarts[k]));
            Append16(out, uint32_t(varCount));
        }
        return out + present;
    }

    QList<int> writeRows(const JetTable& table, uint32_t owner)
    {
        QList<int> pages;
        DataPage page(owner);
        auto flush = [&] {
            pages.append(int(m_pages.size()));
            m_pages.append(page.finish());
            page = DataPage(owner);
        };
        for (qsizetype r = 0; r < table.rows.size(); ++r) {
            const QByteArray bytes = row(table, table.rows[r]);
            if (!page.fits(int(bytes.size())))
                flush();
            page.add(bytes, table.deletedRows.contains(int(r)) ? kDeletedRowFlag : 0);
        }
        if (!page.isEmpty() || pages.isEmpty())
            flush();
        return pages;
    }

    static QByteArray Definition(const JetTable& table, bool system, uint32_t usage, uint32_t freeSpace)
    {
        int fixedTotal = 0;
        int varCount = 0;
        const QList<ColumnLayout> layout = Layout(table.columns, fixedTotal, varCount);
        const int columns = int(table.columns.size());
        QByteArray page(kPageSize, '\0');
        page[0] = 0x02;
        page[1] = 0x01;
        Put32(page, 16, uint32_t(table.rows.size() - table.deletedRows.size()));
        page[40] = char(system ? 0x53 : 0x4e);
        Put16(page, 41, uint32_t(columns));
        Put16(page, 43, uint32_t(varCount));
        Put16(page, 45, uint32_t(columns));
        Put32(page, 55, usage);
        Put32(page, 59, freeSpace);
        int at = 63;
        for (int i = 0; i < columns; ++i, at += 25) {
            const JetType type = table.columns[i].type;
            const bool text = type == JetType::Text || type == JetType::Memo;
            page[at] = char(type);
            Put16(page, at + 5, uint32_t(i));
            Put16(page, at + 7, uint32_t(layout[i].varIndex));
            Put16(page, at + 9, uint32_t(i));
            if (text)
                Put16(page, at + 11, 0x409);  // general sort order
            page[at + 15] = char((IsFixed(type) ? 0x01 : 0x00) | 0x02);
            page[at + 16] = char(text ? 0x01 : 0x00);  // may be compressed
            Put16(page, at + 21, uint32_t(layout[i].fixedOffset));
            Put16(page, at + 23, uint32_t(type == JetType::Text ? 510 : FixedSize(type)));
        }
        for (const JetColumn& c : table.columns) {
            const QByteArray name = Utf16Le(c.name);
            Put16(page, at, uint32_t(name.size()));
            std::memcpy(page.data() + at + 2, name.constData(), size_t(name.size()));
            at += 2 + int(name.size());
        }
        Put16(page, at, 0xffff);
        at += 2;
        Put32(page, 8, uint32_t(at - 8));
        Put16(page, 2, uint32_t(kPageSize - at));
        return page;
    }

    QByteArray Header() const
    {
        QByteArray page(kPageSize, '\0');
        page[1] = 0x01;
        std::memcpy(page.data() + 4, "Standard Jet DB", 15);
        page[0x14] = 0x01;  // Jet 4
        Put16(page, 0x3c, 936);  // code page of the Chinese edition
        Put32(page, 0x3e, m_options.pageKey);
        const double created = 45000.25;
        std::memcpy(page.data() + 0x72, &created, 8);
        // The password is stored masked with the creation date.
        const QByteArray password = Utf16Le(m_options.password.left(20));
        for (qsizetype i = 0; i < password.size(); ++i)
            page[0x42 + i] = char(password[i] ^ page[0x72 + i % 8]);
        Put16(page, 0x6e, 0x409);
        Rc4(QByteArray::fromHex("c7da396b"), page.data() + kHeaderCipherAt, kHeaderCipherLength);
        return page;
    }

    JetOptions m_options;
    QList<QByteArray> m_pages;
};

} // namespace

void Rc4(const QByteArray& key, char* data, int length)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] = char(data[n] ^ s[(s[i] + s[j]) & 0xff]);
    }
}

QByteArray WriteJet4(const QList<JetTable>& tables, const JetOptions& options)
{
    return FileWriter(options).write(tables);
}
