#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>

// Test fixtures: small Access 2000 (Jet 4) files written from scratch, page
// by page, in the layout the Access format notes of mdbtools describe. Just
// enough for a reader that scans tables: a catalogue, table definitions
// without indexes, data pages, long-value pages for long memos.

enum class JetType : uint8_t {
    Bool = 0x01,
    Byte = 0x02,
    Integer = 0x03,  // 16-bit
    Long = 0x04,     // 32-bit
    Double = 0x07,
    DateTime = 0x08, // days since 1899-12-30 as a double
    Text = 0x0a,     // up to 255 characters
    Ole = 0x0b,      // long binary: only NULL here
    Memo = 0x0c,     // long text
};

struct JetColumn {
    QString name;
    JetType type;
};

struct JetTable {
    QString name;
    QList<JetColumn> columns;
    // One value per column: a null QVariant is NULL; numbers as int, qint64
    // or double; text as QString.
    QList<QVariantList> rows;
    // Rows (indexes into `rows`) stored with the deleted mark, as Access
    // leaves them until the file is compacted.
    QList<int> deletedRows;
};

struct JetOptions {
    // Sets the database password in the header page.
    QString password;
    // Non-zero: every page after the first is RC4-encoded with this key
    // combined with the page number.
    uint32_t pageKey = 0;
};

// The whole file. Values must suit their columns (text up to 255
// characters, memo up to 1 MB); anything else is a fault of the test.
QByteArray WriteJet4(const QList<JetTable>& tables, const JetOptions& options = {});

// RC4 over `data` in place; the format enciphers its header with it.
void Rc4(const QByteArray& key, char* data, int length);
