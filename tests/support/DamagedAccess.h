#pragma once

#include <QByteArray>

// Test fixtures: a small course database (AccessCourseTables {1, 3, 2, 600},
// password "marblelantern") changed by a list of patches, each [page, offset
// (2 bytes, little-endian), length, bytes...]; page and offset wrap around
// the file's pages, a patch stops at its page's end and the list at the end
// of `patches`. Most of the file stays well-formed, so damage reaches the
// pages behind the header. `patches` of whole pages (4096 bytes or more, a
// multiple of 2048) are taken as a file of their own.
QByteArray DamagedAccessFile(const QByteArray& patches);
