// Damaged course databases read through the Access reader: every table of
// the schema must be read or refused with a message. The input is a list of
// patches to a small database (see DamagedAccess.h), so most of the file
// stays well-formed and the damage reaches the pages behind the header.
#include "AccessFile.h"
#include "data/Schema.h"
#include "support/DamagedAccess.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    AccessFile file;
    QString error;
    const QByteArray patches = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!file.openBuffer(DamagedAccessFile(patches), error)) {
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
