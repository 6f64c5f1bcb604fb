#include "audio/Container.h"
#include "audio/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QByteArray LengthField(qint32 n)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((quint32(n) >> (8 * i)) & 0xFF);
    return b;
}

QByteArray Zlib(const QByteArray& data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), '\0');
    EXPECT_EQ(compress(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size())),
              Z_OK);
    out.resize(qsizetype(size));
    return out;
}

QByteArray Audio(qsizetype size, quint32 seed = 1)
{
    QByteArray a(size, '\0');
    QRandomGenerator gen(seed);
    for (qsizetype i = 0; i < size; ++i)
        a[i] = char(i % 7 == 0 ? gen.bounded(256) : i % 13);
    return a;
}

TEST(Container, UnpacksExactlyTheDeclaredLength)
{
    const QByteArray audio = Audio(5000);
    const QByteArray stream = Zlib(audio);
    struct Case {
        const char* what;
        QByteArray container;
        QByteArray expected;
    };
    const Case cases[] = {
        {"whole stream", LengthField(5000) + stream, audio},
        {"stream yields more than declared", LengthField(1200) + stream, audio.left(1200)},
        {"checksum missing", LengthField(5000) + stream.left(stream.size() - 4), audio},
        {"checksum damaged", LengthField(5000) + stream.left(stream.size() - 1) + char(stream.back() ^ 0x55), audio},
        {"garbage after the stream", LengthField(5000) + stream + QByteArray(100, 'x'), audio},
        {"zero length, no stream", LengthField(0), QByteArray()},
        {"zero length", LengthField(0) + stream, QByteArray()},
    };
    for (const Case& c : cases) {
        const std::optional<QByteArray> out = UnpackContainer(c.container);
        ASSERT_TRUE(out.has_value()) << c.what;
        EXPECT_EQ(*out, c.expected) << c.what;
    }

    // Silence compresses about 1000:1, close to deflate's limit; the memory
    // bound must still let it through.
    const QByteArray silence(10 << 20, '\0');
    const QByteArray packed = LengthField(qint32(silence.size())) + Zlib(silence);
    ASSERT_LT(packed.size(), silence.size() / 1000);
    EXPECT_EQ(UnpackContainer(packed), std::optional<QByteArray>(silence));
}

TEST(Container, RejectsDamagedOrImpossibleContainers)
{
    const QByteArray audio = Audio(5000);
    const QByteArray stream = Zlib(audio);
    QByteArray corrupt = stream;
    for (qsizetype i = 20; i < 60; ++i)
        corrupt[i] = char(corrupt[i] ^ 0xA5);
    struct Case {
        const char* what;
        QByteArray container;
    };
    const Case cases[] = {
        {"empty file", QByteArray()},
        {"shorter than the length field", QByteArray("\x05\x00\x00", 3)},
        {"length but no stream", LengthField(10)},
        {"negative length", LengthField(-1) + stream},
        {"stream yields less than declared", LengthField(5001) + stream},
        {"stream cut short", LengthField(5000) + stream.left(stream.size() / 2)},
        {"wrong zlib header", LengthField(5000) + QByteArray("\x78\x00", 2) + stream.mid(2)},
        {"raw deflate without header", LengthField(5000) + stream.mid(2)},
        {"corrupt deflate data", LengthField(5000) + corrupt},
        // 20 bytes cannot inflate to 2 GB: refused before any allocation.
        {"absurd length", LengthField(0x7FFFFFFF) + Zlib("tiny").left(16)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(UnpackContainer(c.container).has_value()) << c.what;
}

TEST(Container, PackIsTheInverseOfUnpack)
{
    for (qsizetype size : {0, 1, 4096, 300000}) {
        const QByteArray audio = Audio(size, quint32(size));
        const QByteArray packed = PackContainer(audio);
        ASSERT_GE(packed.size(), 4);
        EXPECT_EQ(packed.left(4), LengthField(qint32(size)));
        EXPECT_EQ(UnpackContainer(packed), std::optional<QByteArray>(audio)) << size;
    }
}

// Points the temporary folder at a folder of the test's own for its lifetime.
class ContainerFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work_.isValid() && temp_.isValid());
        oldTmp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp_.path().toLocal8Bit());
        ASSERT_EQ(QDir(QDir::tempPath()).canonicalPath(), QDir(temp_.path()).canonicalPath());
    }
    void TearDown() override { qputenv("TMPDIR", oldTmp_); }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = work_.path() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QStringList TempEntries() const
    {
        return QDir(ProgramTempFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    QTemporaryDir work_;
    QTemporaryDir temp_;
    QByteArray oldTmp_;
};

TEST_F(ContainerFiles, TempFilesAreFreshAndNamedAfterTheSystemPattern)
{
    const QByteArray audio = Audio(3000);
    const QString container = Write("15.qor", PackContainer(audio));

    const QString a = UnpackToTempFile(container, ".mp3");
    const QString b = UnpackToTempFile(container, ".mp3");
    ASSERT_FALSE(a.isEmpty());
    ASSERT_FALSE(b.isEmpty());
    EXPECT_NE(a, b);
    EXPECT_EQ(Read(a), audio);
    EXPECT_EQ(Read(b), audio);
    const QRegularExpression pattern(QStringLiteral("^tmp[^/]+\\.tmp\\.mp3$"));
    for (const QString& path : {a, b}) {
        EXPECT_EQ(QFileInfo(path).absolutePath(), ProgramTempFolder());
        EXPECT_TRUE(pattern.match(QFileInfo(path).fileName()).hasMatch()) << path.toStdString();
    }
    // Only the two unpacked files: no reservation was left behind.
    EXPECT_EQ(TempEntries().size(), 2);

    const QString empty = UnpackToTempFile(Write("0.qow", LengthField(0)), ".wav");
    ASSERT_FALSE(empty.isEmpty());
    EXPECT_TRUE(empty.endsWith(".tmp.wav"));
    EXPECT_EQ(QFileInfo(empty).size(), 0);
}

TEST_F(ContainerFiles, TempFilesLiveInAFolderOfTheUsersOwn)
{
    const QString folder = ProgramTempFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(QFileInfo(folder).absolutePath(), QDir(temp_.path()).absolutePath());
    const QFile::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFileInfo(folder).permissions() & others, QFile::Permissions());
    const QString name = MakeTempFileName(".mp3");
    ASSERT_TRUE(name.startsWith(folder + "/"));

    // What a crashed run left goes, files and folders alike.
    QDir(folder).mkpath("left/behind");
    Write("x", "x");
    ASSERT_TRUE(QFile::copy(work_.path() + "/x", folder + "/left/behind/tmp1.tmp.wav"));
    EmptyProgramTempFolder();
    EXPECT_TRUE(TempEntries().isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A name someone else took is never used.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    Write("taken", "not a folder");
    ASSERT_TRUE(QFile::link(work_.path() + "/taken", folder));
    EXPECT_TRUE(ProgramTempFolder().isEmpty());
    EXPECT_TRUE(MakeTempFileName(".wav").isEmpty());
    EXPECT_EQ(Read(work_.path() + "/taken"), "not a folder");
}

TEST_F(ContainerFiles, FailedUnpackingLeavesNothingBehind)
{
    const QString bad = Write("bad.qor", LengthField(100) + QByteArray("not zlib at all"));
    EXPECT_TRUE(UnpackToTempFile(bad, ".mp3").isEmpty());
    EXPECT_TRUE(UnpackToTempFile(work_.path() + "/missing.qor", ".mp3").isEmpty());
    EXPECT_TRUE(UnpackToTempFile(work_.path(), ".mp3").isEmpty());  // a folder, not a file
    EXPECT_TRUE(TempEntries().isEmpty());

    const QString target = work_.path() + "/out/deeper";
    EXPECT_TRUE(UnpackToFolder(work_.path() + "/missing.qor", target, "qor1-1.mp3").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(work_.path() + "/out"));
}

TEST_F(ContainerFiles, LargeContainersAreReadPieceByPiece)
{
    // Mostly random bytes, so the stream spans several read pieces.
    QByteArray audio(3 << 20, '\0');
    QRandomGenerator gen(7);
    gen.fillRange(reinterpret_cast<quint32*>(audio.data()), audio.size() / 4);
    const QString container = Write("big.qor", PackContainer(audio));
    ASSERT_GT(QFileInfo(container).size(), 2 << 20);
    EXPECT_EQ(UnpackContainerFile(container), std::optional<QByteArray>(audio));
}

TEST_F(ContainerFiles, UnpackToFolderCreatesFoldersAndReplacesOnlyOnSuccess)
{
    const QByteArray audio = Audio(2000);
    const QString container = Write("1.qor", PackContainer(audio));
    const QString deep = work_.path() + "/export/book 1";  // no trailing separator, parents missing

    const QString written = UnpackToFolder(container, deep, "qor1-1.mp3");
    EXPECT_EQ(written, deep + "/qor1-1.mp3");
    EXPECT_EQ(Read(written), audio);
    EXPECT_EQ(UnpackToFolder(container, deep + "/", "qor1-1.mp3"), deep + "/qor1-1.mp3");

    // A damaged container does not destroy an earlier export of the same
    // name, and is no write failure.
    const QString bad = Write("2.qor", LengthField(2000) + Zlib(audio).left(30));
    QString writeError;
    EXPECT_TRUE(UnpackToFolder(bad, deep, "qor1-1.mp3", &writeError).isEmpty());
    EXPECT_TRUE(writeError.isEmpty());
    EXPECT_EQ(Read(deep + "/qor1-1.mp3"), audio);

    const QString replacement = Write("3.qor", PackContainer("new"));
    EXPECT_FALSE(UnpackToFolder(replacement, deep, "qor1-1.mp3").isEmpty());
    EXPECT_EQ(Read(deep + "/qor1-1.mp3"), QByteArray("new"));

    // A folder path that is really a file, or a folder in the file's place,
    // cannot take the export, and the system says why.
    EXPECT_TRUE(UnpackToFolder(container, container, "x.mp3", &writeError).isEmpty());
    EXPECT_FALSE(writeError.isEmpty());
    writeError.clear();
    ASSERT_TRUE(QDir(deep).mkdir("qor1-2.mp3"));
    EXPECT_TRUE(UnpackToFolder(container, deep, "qor1-2.mp3", &writeError).isEmpty());
    EXPECT_FALSE(writeError.isEmpty());
}

} // namespace
