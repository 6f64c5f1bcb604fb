// Mutated pages of a course database, read through the Access reader: every
// table of the schema must be read or refused with a message. The input is
// a list of patches to a small database written once ([page, offset (2
// bytes), length, bytes...]), so most of the file stays well-formed and the
// mutations reach the pages behind the header; an input of whole pages is
// read as a file of its own.
#include "AccessFile.h"
#include "data/Schema.h"
#include "support/AccessCourse.h"

#include <cstdint>
#include <cstdlib>

namespace {

const QByteArray& BaseFile()
{
    static const QByteArray file = WriteJet4(AccessCourseTables({1, 3, 2, 600}), {QStringLiteral("marblelantern")});
    return file;
}

QByteArray Patched(const std::uint8_t* data, std::size_t size)
{
    if (size >= 4096 && size % 2048 == 0)
        return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray file = BaseFile();
    const int pages = int(file.size() / 4096);
    for (std::size_t at = 0; at + 4 <= size;) {
        const int page = data[at] % pages;
        const int offset = (data[at + 1] | data[at + 2] << 8) % 4096;
        const std::size_t length = data[at + 3];
        at += 4;
        for (std::size_t i = 0; i < length && at < size && offset + int(i) < 4096; ++i, ++at)
            file[page * 4096 + offset + int(i)] = char(data[at]);
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    AccessFile file;
    QString error;
    if (!file.openBuffer(Patched(data, size), error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    for (const SchemaTable& table : SchemaTables()) {
        qint64 stored = 0;
        const bool read = file.readTable(table.name, table.fields, [&](const QVariantList& values) {
            if (values.size() != table.fields.size())
                std::abort();
            return true;
        }, stored, error);
        if (!read && error.isEmpty())
            std::abort();
        error.clear();
    }
    return 0;
}
