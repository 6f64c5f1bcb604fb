// The start-up's offer for an old data folder: Yes imports it through the
// course tool and the program then opens it, phonetics in their own face;
// No and a failed import leave the folder as it was.
#include "AppTestSupport.h"

#include "app/ImportOffer.h"
#include "app/ProgramPaths.h"
#include "support/AccessCourse.h"
#include "support/RecordingMessages.h"
#include "support/RenamedFont.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ImportOfferTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_data;

    void writeOldFolder(const QByteArray& font = {})
    {
        m_data = m_dir.path() + QStringLiteral("/Data/");
        QDir(m_data).removeRecursively();
        QString error;
        QVERIFY2(WriteAccessDataFolder(m_data, AccessCourseTables({2, 3, 2, 600}), ShortMp3(),
                                       QByteArray("RIFF"), font, error),
                 qPrintable(error));
    }

private slots:
    void yesImportsAndTheProgramOpensTheFolder()
    {
        const QByteArray font =
            RenameFontFamily(ReadFile(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")), "PDFont1");
        if (font.isEmpty())
            QSKIP("no TrueType file to stand in for the phonetic font");
        writeOldFolder(font);
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        QVERIFY(OfferImport(m_data, QStringLiteral(VELTRA_COURSE_EXE)));
        QCOMPARE(messages.entries.size(), size_t(1));
        QCOMPARE(messages.entries[0].text, QString::fromUtf8(kImportQuestion));
        QVERIFY(!FindDatabaseFile(m_data).isEmpty());
        QVERIFY(QFile::exists(m_data + QStringLiteral("Qor.mdb")));

        // The start-up's next steps: the phonetic face from the data folder, the data module, the window.
        const int fontId = EnsurePhoneticFont(m_data);
        QVERIFY(fontId >= 0);
        QVERIFY(QFontDatabase::hasFamily(QStringLiteral("PDFont1")));
        {
            TDM dm(m_data);
            QVERIFY(!dm.TerminationRequested());
            TMainForm form(dm);
            QVERIFY(!form.StartupFailed());
            QCOMPARE(dm.adsQorSen.FieldText("FChinese"), QString::fromUtf8("第1课的第1句。"));
            auto* phonetic = form.findChild<QLineEdit*>(QStringLiteral("DBEdit3"));
            QVERIFY(phonetic);
            // Bytes meant for the phonetic face, one glyph each, shown in that face.
            QCOMPARE(phonetic->text(), QString::fromLatin1("[w\xbd\x9e" "d]"));
            QCOMPARE(phonetic->font().family(), QStringLiteral("PDFont1"));
            QVERIFY(messages.entries.size() == 1);
        }
        QVERIFY(QFontDatabase::removeApplicationFont(fontId));
    }

    void noLeavesTheFolderAsItWas()
    {
        writeOldFolder();
        RecordingMessages messages;
        messages.answer = false;
        ScopedMessages installed(&messages);
        QVERIFY(!OfferImport(m_data, QStringLiteral(VELTRA_COURSE_EXE)));
        QCOMPARE(messages.entries.size(), size_t(1));
        QVERIFY(FindDatabaseFile(m_data).isEmpty());
    }

    void aFailedImportShowsWhyAndWritesNothing()
    {
        writeOldFolder();
        QFile mdb(m_data + QStringLiteral("Qor.mdb"));
        QVERIFY(mdb.resize(4096 * 2));
        const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
        const struct {
            QString tool;
            const char* says;
        } cases[] = {
            {QStringLiteral(VELTRA_COURSE_EXE), "the database is damaged"},
            {m_dir.path() + QStringLiteral("/no-such-tool"), "找不到转换程序"},
        };
        for (const auto& c : cases) {
            RecordingMessages messages;
            ScopedMessages installed(&messages);
            QVERIFY(!OfferImport(m_data, c.tool));
            QCOMPARE(messages.entries.size(), size_t(2));
            QCOMPARE(messages.entries[1].kind, RecordingMessages::Kind::Error);
            QVERIFY2(messages.entries[1].text.startsWith(QString::fromUtf8("旧版词库转换失败")),
                     qPrintable(messages.entries[1].text));
            QVERIFY2(messages.entries[1].text.contains(QString::fromUtf8(c.says)), qPrintable(messages.entries[1].text));
            QVERIFY(FindDatabaseFile(m_data).isEmpty());
            QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        }
    }

    void withoutAnOldDatabaseNothingIsAsked()
    {
        const QString empty = m_dir.path() + QStringLiteral("/Empty/");
        QVERIFY(QDir().mkpath(empty));
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        QVERIFY(!OfferImport(empty, QStringLiteral(VELTRA_COURSE_EXE)));
        QVERIFY(messages.entries.empty());
    }
};

VELTRA_APP_TEST_MAIN(ImportOfferTest)

#include "ImportOfferTest.moc"
