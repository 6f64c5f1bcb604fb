#include "support/DamagedAccess.h"
#include "support/AccessCourse.h"

namespace {

constexpr int kPage = 4096;

const QByteArray& BaseFile()
{
    static const QByteArray file = WriteJet4(AccessCourseTables({1, 3, 2, 600}), {QStringLiteral("marblelantern")});
    return file;
}

} // namespace

QByteArray DamagedAccessFile(const QByteArray& patches)
{
    const auto* data = reinterpret_cast<const unsigned char*>(patches.constData());
    const qsizetype size = patches.size();
    if (size >= kPage && size % 2048 == 0)
        return patches;
    QByteArray file = BaseFile();
    const int pages = int(file.size() / kPage);
    for (qsizetype at = 0; at + 4 <= size;) {
        const int page = data[at] % pages;
        const int offset = (data[at + 1] | data[at + 2] << 8) % kPage;
        const int length = data[at + 3];
        at += 4;
        for (int i = 0; i < length && at < size && offset + i < kPage; ++i, ++at)
            file[page * kPage + offset + i] = char(data[at]);
    }
    return file;
}
