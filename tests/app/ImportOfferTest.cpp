// The start-up's offer for an old data folder: Yes imports it through the
// course tool and the program then opens it, phonetics in their own face;
// No, a failed import, Cancel and the end of the session leave the folder
// as it was. Runs on an Xvfb of its own where there is one, so the progress
// dialog is there as the learner has it; otherwise offscreen, without it.
#include "AppTestSupport.h"
#include "XvfbDisplay.h"

#include "app/ImportOffer.h"
#include "app/ProgramPaths.h"
#include "app/SessionSignals.h"
#include "support/AccessCourse.h"
#include "support/MountNamespace.h"
#include "support/RecordingMessages.h"
#include "support/RenamedFont.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <functional>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QProgressDialog* ProgressDialog()
{
    return qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
}

// Calls `look` every millisecond while the offer runs.
class Watch {
public:
    explicit Watch(std::function<void()> look)
    {
        QObject::connect(&m_timer, &QTimer::timeout, std::move(look));
        m_timer.start(1);
    }

private:
    QTimer m_timer;
};

} // namespace

class ImportOfferTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_data;

    void writeOldFolder(const AccessCourseShape& shape = {2, 3, 2, 600}, const QByteArray& font = {})
    {
        m_data = m_dir.path() + QStringLiteral("/Data/");
        QDir(m_data).removeRecursively();
        QString error;
        QVERIFY2(WriteAccessDataFolder(m_data, AccessCourseTables(shape), ShortMp3(), QByteArray("RIFF"), font, error),
                 qPrintable(error));
    }

    // The import's own staging folder, inside the data folder.
    QStringList staging() const
    {
        return QDir(m_data).entryList({QStringLiteral(".building-*")}, QDir::Dirs | QDir::Hidden);
    }

    // The old folder as it was, and nothing beside it.
    void expectUntouched()
    {
        QVERIFY(FindDatabaseFile(m_data).isEmpty());
        QCOMPARE(staging(), QStringList());
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Data")});
    }

private slots:
    void yesImportsAndTheProgramOpensTheFolder()
    {
        const QByteArray font =
            RenameFontFamily(ReadFile(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")), "PDFont1");
        if (font.isEmpty())
            QSKIP("no TrueType file to stand in for the phonetic font");
        writeOldFolder({2, 3, 2, 600}, font);
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        QStringList shown;  // the dialog's lines, as the learner reads them
        {
            const Watch watch([&shown] {
                if (QProgressDialog* dialog = ProgressDialog(); dialog && !shown.contains(dialog->labelText()))
                    shown << dialog->labelText();
            });
            QCOMPARE(OfferImport(m_data, QStringLiteral(VELTRA_COURSE_EXE)), ImportOutcome::Imported);
        }
        QCOMPARE(messages.entries.size(), size_t(1));
        QCOMPARE(messages.entries[0].text, QString::fromUtf8(kImportQuestion));
        QVERIFY(!FindDatabaseFile(m_data).isEmpty());
        QVERIFY(QFile::exists(m_data + QStringLiteral("Qor.mdb")));
        if (CanShowWindows())
            QVERIFY2(shown.contains(QStringLiteral("正在转换旧版词库……\n录音文件留在原处")), qPrintable(shown.join('|')));

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

    // A USB stick or a partition used as the data folder, or one in a folder
    // the learner cannot write: the import needs nothing outside the folder.
    void yesImportsAFolderThatIsARootOrInAReadOnlyFolder_data()
    {
        QTest::addColumn<QString>("mounts");  // $D the data folder, $P its parent
        QTest::newRow("root of its own file system") << QStringLiteral(R"(mount --bind "$D" "$D")");
        QTest::newRow("read-only parent") << QStringLiteral(
            R"(mount --bind "$D" "$D" && mount --rbind "$P" "$P" && mount -o remount,bind,ro "$P")");
    }
    void yesImportsAFolderThatIsARootOrInAReadOnlyFolder()
    {
        QFETCH(QString, mounts);
        const QStringList shell = MountShell();
        if (shell.isEmpty())
            QSKIP("mount namespaces are not allowed here");
        writeOldFolder();
        // The course tool as the program starts it, in a namespace with those mounts.
        const QString tool = m_dir.path() + QStringLiteral("/course-tool-in-namespace");
        QFile script(tool);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nexport D='%1' P='%2'\nexec %3 '%4 && exec \"$0\" \"$@\"' '%5' \"$@\"\n")
                         .arg(m_data, m_dir.path(), shell.join(' '), mounts, QStringLiteral(VELTRA_COURSE_EXE))
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));

        RecordingMessages messages;
        ScopedMessages installed(&messages);
        QCOMPARE(OfferImport(m_data, tool), ImportOutcome::Imported);
        QCOMPARE(messages.entries.size(), size_t(1));
        QVERIFY(!FindDatabaseFile(m_data).isEmpty());
        QCOMPARE(staging(), QStringList());
        QVERIFY(QFile::remove(tool));
    }

    void noLeavesTheFolderAsItWasAndSaysSo()
    {
        writeOldFolder();
        RecordingMessages messages;
        messages.answer = false;
        ScopedMessages installed(&messages);
        QCOMPARE(OfferImport(m_data, QStringLiteral(VELTRA_COURSE_EXE)), ImportOutcome::NotImported);
        QCOMPARE(messages.entries.size(), size_t(2));
        QCOMPARE(messages.entries[1].kind, RecordingMessages::Kind::Info);
        QCOMPARE(messages.entries[1].text,
                 QStringLiteral("没有转换旧版词库，qor.mdb 保持原样。\n本软件要用转换后的词库才能启动；下次启动时会再问一次。"));
        expectUntouched();
    }

    void aFailedImportShowsWhyInChineseAndWritesNothing()
    {
        writeOldFolder();
        QFile mdb(m_data + QStringLiteral("Qor.mdb"));
        QVERIFY(mdb.resize(4096 * 2));
        const struct {
            QString tool;
            QString says;
        } cases[] = {
            {QStringLiteral(VELTRA_COURSE_EXE), QStringLiteral("旧版词库转换失败，原文件没有改动。\n无法读取旧版词库 %1：文件已损坏，"
                                                               "或者不是本软件的词库。").arg(mdb.fileName())},
            {m_dir.path() + QStringLiteral("/no-such-tool"),
             QStringLiteral("旧版词库转换失败：找不到转换程序 %1/no-such-tool。").arg(m_dir.path())},
        };
        for (const auto& c : cases) {
            RecordingMessages messages;
            ScopedMessages installed(&messages);
            QCOMPARE(OfferImport(m_data, c.tool), ImportOutcome::NotImported);
            QCOMPARE(messages.entries.size(), size_t(2));
            QCOMPARE(messages.entries[1].kind, RecordingMessages::Kind::Error);
            QCOMPARE(messages.entries[1].text, c.says);
            expectUntouched();
        }
    }

    // Cancel asks the tool to stop; it removes the staging folder it had
    // written into before it ends.
    void cancelStopsTheImportAndLeavesNothing()
    {
        if (!CanShowWindows())
            QSKIP("no Xvfb, so no progress dialog to cancel");
        writeOldFolder({69, 20, 15, 1500});
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        bool caughtAtWork = false;
        {
            const Watch watch([&] {
                QProgressDialog* dialog = ProgressDialog();
                if (caughtAtWork || !dialog || dialog->value() < 1 || staging().isEmpty())
                    return;
                caughtAtWork = true;
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
            });
            QCOMPARE(OfferImport(m_data, QStringLiteral(VELTRA_COURSE_EXE)), ImportOutcome::NotImported);
        }
        QVERIFY(caughtAtWork);
        QCOMPARE(messages.entries.size(), size_t(2));
        QCOMPARE(messages.entries[1].text, QStringLiteral("旧版词库的转换已取消，原文件没有改动。"));
        expectUntouched();
    }

    // Logout or `kill` while the import runs: it stops, and the program ends
    // without a word, as everywhere else.
    void aSessionEndStopsTheImportQuietly()
    {
        writeOldFolder({69, 20, 15, 1500});
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        SessionSignals session([] { QApplication::closeAllWindows(); });
        QVERIFY(session.Installed());
        bool caughtAtWork = false;
        {
            const Watch watch([&] {
                if (caughtAtWork || staging().isEmpty())
                    return;
                caughtAtWork = true;
                std::raise(SIGTERM);
            });
            QCOMPARE(OfferImport(m_data, QStringLiteral(VELTRA_COURSE_EXE), &session), ImportOutcome::NotImported);
        }
        QVERIFY(caughtAtWork);
        QVERIFY(session.SessionEnding());
        QCOMPARE(messages.entries.size(), size_t(1));  // the question, nothing after it
        expectUntouched();
    }

    void withoutAnOldDatabaseNothingIsAsked()
    {
        const QString empty = m_dir.path() + QStringLiteral("/Empty/");
        QVERIFY(QDir().mkpath(empty));
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        QCOMPARE(OfferImport(empty, QStringLiteral(VELTRA_COURSE_EXE)), ImportOutcome::NoOldDatabase);
        QVERIFY(messages.entries.empty());
        QVERIFY(QDir(empty).removeRecursively());
    }
};

VELTRA_XVFB_APP_TEST_MAIN(ImportOfferTest)

#include "ImportOfferTest.moc"
