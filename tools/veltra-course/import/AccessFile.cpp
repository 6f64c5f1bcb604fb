#include "AccessFile.h"
#include "AccessDamage.h"

#include <QFile>
#include <QSet>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kOffsetMask = 0x1fff;
// Access marks a deleted row in its offset; libmdb takes that bit for an
// overflow pointer and returns the row, so the scan below drops it itself.
constexpr int kDeletedRow = 0x8000;
// Far beyond any course text; a larger memo length is damage.
constexpr quint32 kMaxMemoBytes = 64u << 20;

struct TableDeleter {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableDeleter>;

QString Damaged(const QString& table, const QString& what)
{
    return QStringLiteral("table %1: %2; the database is damaged").arg(table, what);
}

// Text as libmdb converts it (UTF-16 or compressed text of Jet 4, the code
// page of Jet 3) into UTF-8, with room for the longest possible result so
// nothing is cut: a stored byte never becomes more than three.
QString Text(MdbHandle* mdb, const char* bytes, size_t size)
{
    std::vector<char> out(3 * size + 16);
    const int n = mdb_unicode2ascii(mdb, bytes, size, out.data(), out.size() - 1);
    return QString::fromUtf8(out.data(), n);
}

// A memo: 12 bytes in the row giving the length and where the text is,
// inline, in one long-value row, or in a chain of them.
bool Memo(MdbHandle* mdb, const unsigned char* ref, int size, QByteArray& stored, QString& what)
{
    if (size < MDB_MEMO_OVERHEAD) {
        what = QStringLiteral("a memo reference is cut short");
        return false;
    }
    const quint32 head = quint32(mdb_get_int32(const_cast<unsigned char*>(ref), 0));
    const quint32 length = head & 0x3fffffffu;
    if (length > kMaxMemoBytes) {
        what = QStringLiteral("a memo claims %1 bytes").arg(length);
        return false;
    }
    if (head & 0x80000000u) {
        stored = QByteArray(reinterpret_cast<const char*>(ref) + MDB_MEMO_OVERHEAD, size - MDB_MEMO_OVERHEAD);
        return true;
    }
    int pageRow = int(mdb_get_int32(const_cast<unsigned char*>(ref), 4));
    const bool chained = (head & 0xc0000000u) == 0;
    QSet<int> seen;
    do {
        if (seen.contains(pageRow)) {
            what = QStringLiteral("a memo's pages run in a circle");
            return false;
        }
        seen.insert(pageRow);
        void* page = nullptr;
        int start = 0;
        size_t rowSize = 0;
        const size_t skip = chained ? 4 : 0;
        if (mdb_find_pg_row(mdb, pageRow, &page, &start, &rowSize) != 0 || rowSize < skip ||
            stored.size() + qsizetype(rowSize - skip) > qsizetype(length)) {
            what = QStringLiteral("a memo's pages do not hold its text");
            return false;
        }
        const char* row = static_cast<const char*>(page) + start;
        stored.append(row + skip, qsizetype(rowSize - skip));
        pageRow = chained ? int(mdb_get_int32(const_cast<char*>(row), 0)) : 0;
    } while (pageRow != 0);
    if (stored.size() != qsizetype(length)) {
        what = QStringLiteral("a memo is %1 bytes instead of %2").arg(stored.size()).arg(length);
        return false;
    }
    return true;
}

bool Value(MdbHandle* mdb, const MdbColumn& column, const MdbField& field, int rowStart, int rowEnd,
           QVariant& value, QString& what)
{
    if (column.col_type == MDB_BOOL) {
        // A Boolean lives in the row's null mask: set means true.
        value = qint64(field.is_null ? 0 : 1);
        return true;
    }
    if (field.is_null) {
        value = QVariant();
        return true;
    }
    if (field.siz < 0 || field.start < rowStart || field.start + field.siz > rowEnd) {
        what = QStringLiteral("field %1 lies outside its row").arg(QString::fromUtf8(column.name));
        return false;
    }
    unsigned char* p = mdb->pg_buf + field.start;
    auto needs = [&](int bytes) {
        if (field.siz >= bytes)
            return true;
        what = QStringLiteral("field %1 is cut short").arg(QString::fromUtf8(column.name));
        return false;
    };
    switch (column.col_type) {
    case MDB_BYTE:
        value = qint64(p[0]);
        return needs(1);
    case MDB_INT:
        value = qint64(qint16(mdb_get_int16(p, 0)));
        return needs(2);
    case MDB_LONGINT:
        value = qint64(qint32(mdb_get_int32(p, 0)));
        return needs(4);
    case MDB_FLOAT:
        value = double(mdb_get_single(p, 0));
        return needs(4);
    case MDB_DOUBLE:
    case MDB_DATETIME:
        value = mdb_get_double(p, 0);
        return needs(8);
    case MDB_MONEY: {
        // Currency: a 64-bit count of ten-thousandths.
        qint64 units = 0;
        std::memcpy(&units, p, sizeof units);
        value = double(qFromLittleEndian(units)) / 10000.0;
        return needs(8);
    }
    case MDB_TEXT:
        value = Text(mdb, reinterpret_cast<const char*>(p), size_t(field.siz));
        return true;
    case MDB_MEMO: {
        QByteArray stored;
        if (!Memo(mdb, p, field.siz, stored, what))
            return false;
        value = Text(mdb, stored.constData(), size_t(stored.size()));
        return true;
    }
    default:
        what = QStringLiteral("field %1 has a type this reader does not take").arg(QString::fromUtf8(column.name));
        return false;
    }
}

bool Readable(int type)
{
    switch (type) {
    case MDB_BOOL: case MDB_BYTE: case MDB_INT: case MDB_LONGINT: case MDB_MONEY:
    case MDB_FLOAT: case MDB_DOUBLE: case MDB_DATETIME: case MDB_TEXT: case MDB_MEMO:
        return true;
    default:
        return false;
    }
}

// libmdb reads its text encodings from the environment when a file opens.
// Jet 3 text is in the code page of the Windows that wrote it: for this
// course, Chinese. Jet 4 text is Unicode and needs no guess.
void ChooseEncodings()
{
    setenv("MDB_JET3_CHARSET", "GB18030", 1);
    setenv("MDBICONV", "UTF-8", 1);
}

// libmdb prints diagnostics of its own ("offset … is beyond EOF") on
// stderr, ahead of our message, which says what they mean. glibc lets
// stderr point elsewhere while libmdb runs; sanitizers write to the file
// descriptor itself and still show.
class LibraryQuiet {
public:
    LibraryQuiet()
        : m_saved(stderr)
        , m_sink(std::fopen("/dev/null", "we"))
    {
        if (m_sink)
            stderr = m_sink;
    }
    ~LibraryQuiet()
    {
        stderr = m_saved;
        if (m_sink)
            std::fclose(m_sink);
    }
    LibraryQuiet(const LibraryQuiet&) = delete;
    LibraryQuiet& operator=(const LibraryQuiet&) = delete;

private:
    FILE* m_saved;
    FILE* m_sink;
};

} // namespace

struct AccessFile::File {
    MdbHandle* mdb = nullptr;
    QByteArray memory;  // backs a file opened from memory
    struct Table {
        QString name;
        unsigned long page;
        // libmdb keeps a pointer to the entry in every table it reads.
        std::unique_ptr<MdbCatalogEntry> entry;
    };
    std::vector<Table> tables;

    ~File()
    {
        if (mdb)
            mdb_close(mdb);
    }

    std::unique_ptr<MdbCatalogEntry> entry(const char* name, unsigned long page) const
    {
        auto e = std::make_unique<MdbCatalogEntry>();
        std::memset(e.get(), 0, sizeof(MdbCatalogEntry));
        e->mdb = mdb;
        e->object_type = MDB_TABLE;
        e->table_pg = page;
        std::snprintf(e->object_name, sizeof e->object_name, "%s", name);
        return e;
    }

    // Every live row, as (column index → value) for the columns asked for.
    bool scan(MdbTableDef* table, const QString& name, const std::vector<int>& columns,
              const std::function<bool(const QVariantList&)>& handler, QString& error) const
    {
        std::vector<MdbField> fields(table->num_cols);
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            int start = 0;
            size_t size = 0;
            if (mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0)
                continue;
            if (start & kDeletedRow)
                continue;
            start &= kOffsetMask;
            if (mdb_crack_row(table, start, size, fields.data()) < 0) {
                error = Damaged(name, QStringLiteral("a row cannot be taken apart"));
                return false;
            }
            QVariantList values;
            values.reserve(qsizetype(columns.size()));
            for (int c : columns) {
                const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, guint(c)));
                QVariant value;
                QString what;
                if (!Value(mdb, *column, fields[size_t(c)], start, start + int(size), value, what)) {
                    error = Damaged(name, what);
                    return false;
                }
                values.append(value);
            }
            if (!handler(values))
                return false;
        }
        return true;
    }

    // Reads the table definition at `page` and finds `fields` in it.
    TablePtr read(MdbCatalogEntry* e, const QString& name, const QStringList& fields, std::vector<int>& columns,
                  QString& error) const
    {
        TablePtr table(mdb_read_table(e));
        if (!table || !mdb_read_columns(table.get()) || table->columns->len != table->num_cols) {
            error = Damaged(name, QStringLiteral("its definition cannot be read"));
            return nullptr;
        }
        QString what;
        if (!UsageMapIsSound(*table, what)) {
            error = Damaged(name, what);
            return nullptr;
        }
        for (const QString& field : fields) {
            int found = -1;
            for (guint i = 0; i < table->num_cols && found < 0; ++i) {
                const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
                if (QString::fromUtf8(column->name).compare(field, Qt::CaseInsensitive) == 0)
                    found = int(i);
            }
            if (found < 0) {
                error = QStringLiteral("table %1 has no field %2").arg(name, field);
                return nullptr;
            }
            const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, guint(found)));
            if (!Readable(column->col_type)) {
                error = QStringLiteral("field %1 of table %2 has a type the import does not take (%3)")
                            .arg(field, name)
                            .arg(column->col_type);
                return nullptr;
            }
            columns.push_back(found);
        }
        return table;
    }
};

AccessFile::AccessFile() = default;
AccessFile::~AccessFile() = default;

bool AccessFile::open(const QString& path, QString& error)
{
    const LibraryQuiet quiet;
    m_file = std::make_unique<File>();
    ChooseEncodings();
    m_file->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!m_file->mdb) {
        error = QStringLiteral("%1 is not an Access database or cannot be read").arg(path);
        return false;
    }
    return start(error);
}

bool AccessFile::openBuffer(const QByteArray& bytes, QString& error)
{
    const LibraryQuiet quiet;
    m_file = std::make_unique<File>();
    m_file->memory = bytes;
    m_file->memory.detach();
    ChooseEncodings();
    m_file->mdb = mdb_open_buffer(m_file->memory.data(), size_t(m_file->memory.size()), MDB_NOFLAGS);
    if (!m_file->mdb) {
        error = QStringLiteral("not an Access database");
        return false;
    }
    return start(error);
}

// Reads the catalogue with our own buffers: libmdb's catalogue reader binds
// the names into fixed-size buffers that a long name would overrun.
bool AccessFile::start(QString& error)
{
    const QString catalogue = QStringLiteral("MSysObjects");
    auto entry = m_file->entry("MSysObjects", 2);
    std::vector<int> columns;
    TablePtr table = m_file->read(entry.get(), catalogue, {"Id", "Name", "Type"}, columns, error);
    if (!table)
        return false;
    return m_file->scan(table.get(), catalogue, columns, [&](const QVariantList& v) {
        // Type 1 is a table; the high bit marks a system object.
        if (!v[0].isNull() && !v[1].isNull() && (v[2].toLongLong() & 0x7f) == 1)
            m_file->tables.push_back({v[1].toString(), static_cast<unsigned long>(v[0].toLongLong() & 0x00ffffff), nullptr});
        return true;
    }, error);
}

QStringList AccessFile::tables() const
{
    QStringList names;
    if (m_file)
        for (const File::Table& t : m_file->tables)
            names.append(t.name);
    return names;
}

bool AccessFile::readTable(const QString& name, const QStringList& fields, const RowHandler& handler,
                           qint64& storedRows, QString& error)
{
    const LibraryQuiet quiet;
    File::Table* found = nullptr;
    for (File::Table& t : m_file->tables)
        if (!found && t.name.compare(name, Qt::CaseInsensitive) == 0)
            found = &t;
    if (!found) {
        error = QStringLiteral("the database has no table %1").arg(name);
        return false;
    }
    if (!found->entry)
        found->entry = m_file->entry(found->name.toUtf8().left(MDB_MAX_OBJ_NAME).constData(), found->page);
    std::vector<int> columns;
    TablePtr table = m_file->read(found->entry.get(), name, fields, columns, error);
    if (!table)
        return false;
    storedRows = table->num_rows;
    return m_file->scan(table.get(), name, columns, handler, error);
}
