// The export dialog over a small catalogue, with a folder chooser that
// answers instead of the learner.
#include "app/AppTestSupport.h"
#include "app/DialogFixture.h"

#include "export/ExportFiles.h"
#include "app/MP3Frm.h"
#include "app/SelectFolder.h"
#include "audio/Container.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

class FakeChooser final : public FolderChooser {
public:
    std::optional<QString> choose(QWidget*, const QString& title, const QString& start) override
    {
        titles.append(title);
        starts.append(start);
        if (whileOpen)
            whileOpen();
        return answer;
    }

    std::optional<QString> answer;
    QStringList titles;
    QStringList starts;
    std::function<void()> whileOpen;
};

using Kind = RecordingMessages::Kind;

// The dialog on the fixture's catalogue, shown, with the chooser answering
// a fresh output folder.
struct DialogRun {
    DialogRun()
        : form(nullptr, *fixture.dm)
    {
        chooser.answer = out.path();
        form.show();
    }

    QLineEdit* lesson() { return Child<QLineEdit>(form, "edtLesson"); }
    QProgressBar* bar() { return Child<QProgressBar>(form, "PB"); }
    QComboBox* book() { return Child<QComboBox>(form, "cbBook"); }
    QPushButton* start() { return Child<QPushButton>(form, "btnStart"); }
    QPushButton* close() { return Child<QPushButton>(form, "btnClose"); }

    void Export(const QString& expression, int bookIndex = 0)
    {
        book()->setCurrentIndex(bookIndex);
        lesson()->setText(expression);
        start()->click();
    }

    bool Idle()
    {
        return start()->isEnabled() && close()->isEnabled() && book()->isEnabled() && bar()->isHidden();
    }

    DialogFixture fixture;
    FakeChooser chooser;
    ScopedFolderChooser installed{&chooser};
    QTemporaryDir out;
    TMP3Form form;
};

QStringList Texts(const RecordingMessages& messages, Kind kind)
{
    QStringList texts;
    for (const auto& entry : messages.entries)
        texts.append(entry.kind == kind ? entry.text : QStringLiteral("<other box>") + entry.text);
    return texts;
}

} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensIdleWithItsControls()
    {
        DialogRun run;
        QCOMPARE(run.form.windowTitle(), QStringLiteral("课文制作MP3和歌词文件"));
        QCOMPARE(run.form.size(), QSize(356, 211));
        QCOMPARE(run.book()->count(), 4);
        QCOMPARE(run.book()->itemText(0), QStringLiteral("Veltra第一册"));
        QCOMPARE(run.book()->itemText(3), QStringLiteral("Veltra第四册"));
        QCOMPARE(run.book()->currentIndex(), 0);
        QVERIFY(run.lesson()->text().isEmpty());
        QVERIFY(Child<QLabel>(run.form, "Label2")->text().startsWith(QStringLiteral("课程输入方法：1,2-5,7 表示")));
        QCOMPARE(run.bar()->geometry(), run.lesson()->geometry());
        QVERIFY(run.Idle());
    }

    void lessonFieldTakesOnlyListCharactersButPasteGoesThrough()
    {
        DialogRun run;
        QLineEdit* edit = run.lesson();
        QTest::keyClicks(edit, QStringLiteral("a1 ,-.%'2x!"));
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QStringLiteral("０"), Qt::NoModifier);
        QCOMPARE(edit->text(), QStringLiteral("1,-.%'2"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("1,-.%'"));
        QTest::keyClick(edit, Qt::Key_Return);  // refused like any other key: no export
        QVERIFY(run.chooser.titles.isEmpty());
        QVERIFY(run.fixture.messages.entries.empty());

        edit->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral(" 3 - 1 "));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral(" 3 - 1 "));
    }

    void exportsTheNamedLessonsInCatalogueOrderAndRestartsTheBar()
    {
        DialogRun run;
        QStringList seen;
        run.chooser.whileOpen = [&] {
            seen.append(QStringLiteral("%1 %2 %3").arg(int(run.Idle())).arg(int(run.bar()->isVisible())).arg(run.bar()->value()));
            run.form.reject();  // cannot close while exporting
            QVERIFY(run.form.isVisible());
        };
        run.Export(QStringLiteral("3,1"));
        QCOMPARE(run.chooser.titles, QStringList{QStringLiteral("请选择MP3输出文件夹")});
        QCOMPARE(FilesIn(run.out.path()), QStringList({"qor1-1.lrc", "qor1-3.lrc"}));
        QCOMPARE(Texts(run.fixture.messages, Kind::Info), QStringList{QStringLiteral("已完成MP3和歌词文件输出！")});
        QVERIFY(run.Idle());
        QCOMPARE(run.bar()->value(), 2);
        QCOMPARE(run.bar()->maximum(), 2);
        const QList<QByteArray> lines = FileContent(run.out.filePath(QStringLiteral("qor1-3.lrc"))).split('\n');
        QCOMPARE(lines.value(3), QByteArray("[00:00:000]Hello.\r"));
        QCOMPARE(lines.value(4), QByteArray("[00:02:000]Hello.\r"));

        // A second export from the same dialog offers the folder again and
        // starts its bar from nothing.
        run.Export(QStringLiteral("2"), 1);
        QCOMPARE(run.chooser.starts, QStringList({QString(), run.out.path()}));
        QCOMPARE(seen, QStringList({"0 1 0", "0 1 0"}));
        QVERIFY(QFile::exists(run.out.filePath(QStringLiteral("qor2-2.lrc"))));
        QCOMPARE(run.bar()->value(), 1);
        QVERIFY(run.Idle());
    }

    void invalidListIsReportedAndFocusesTheField()
    {
        DialogRun run;
        QVERIFY(QTest::qWaitForWindowActive(&run.form));
        run.book()->setFocus();
        run.Export(QStringLiteral("3-"));
        QCOMPARE(Texts(run.fixture.messages, Kind::Info), QStringList{QStringLiteral("您选择的课程无效，请重新选择！")});
        QVERIFY(run.lesson()->hasFocus());
        QCOMPARE(run.lesson()->text(), QStringLiteral("3-"));
        QVERIFY(run.chooser.titles.isEmpty());
        QVERIFY(FilesIn(run.out.path()).isEmpty());
        QVERIFY(run.Idle());
    }

    void listsThatNameNoLessonAreErrors_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("bookIndex");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("commas and blanks") << QStringLiteral(" , ,") << 0;
        QTest::newRow("beyond the book") << QStringLiteral("4-9") << 0;
        QTest::newRow("book without lessons") << QStringLiteral("1") << 3;
    }

    void listsThatNameNoLessonAreErrors()
    {
        QFETCH(QString, expression);
        QFETCH(int, bookIndex);
        DialogRun run;
        run.Export(expression, bookIndex);
        QCOMPARE(Texts(run.fixture.messages, Kind::Error),
                 QStringList{QStringLiteral("根据您指定的条件，没有找到任何课程！")});
        QVERIFY(run.chooser.titles.isEmpty());
        QVERIFY(run.Idle());
    }

    void cancelledFolderWritesAndSaysNothing()
    {
        DialogRun run;
        run.chooser.answer.reset();
        run.Export(QStringLiteral("1-3"));
        QCOMPARE(run.chooser.titles.size(), 1);
        QVERIFY(run.fixture.messages.entries.empty());
        QVERIFY(FilesIn(run.out.path()).isEmpty());
        QVERIFY(run.Idle());
    }

    void lessonWithoutSentencesStopsTheExportKeepingEarlierFiles()
    {
        DialogRun run;
        run.fixture.Exec(QStringLiteral("Delete From tblQor1 Where FID Between 21 And 22"));
        run.Export(QStringLiteral("1-3"));
        QCOMPARE(Texts(run.fixture.messages, Kind::Error), QStringList{QStringLiteral("课文数据错误！")});
        QCOMPARE(FilesIn(run.out.path()), QStringList{"qor1-1.lrc"});
        QVERIFY(run.Idle());
        QCOMPARE(run.bar()->value(), 1);
    }

    void fileThatCannotBeWrittenStopsTheExportSayingWhichAndWhy_data()
    {
        QTest::addColumn<QString>("inTheWay");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("bar");
        QTest::newRow("recording") << "qor1-1.mp3" << QStringList{"qor1-1.mp3"} << 0;
        QTest::newRow("lyrics") << "qor1-2.lrc" << QStringList{"qor1-1.lrc", "qor1-1.mp3", "qor1-2.lrc"} << 1;
    }

    // A folder in the way stands for any write the system refuses (a full
    // disk, a folder without write permission).
    void fileThatCannotBeWrittenStopsTheExportSayingWhichAndWhy()
    {
        QFETCH(QString, inTheWay);
        QFETCH(QStringList, left);
        QFETCH(int, bar);
        DialogRun run;
        const QString container = QDir(run.fixture.dm->DataDir()).filePath(QStringLiteral("qor1/1.qor"));
        QVERIFY(QDir().mkpath(QFileInfo(container).path()));
        QFile file(container);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(PackContainer("ID3 a recording")) > 0);
        file.close();
        QVERIFY(QDir(run.out.path()).mkdir(inTheWay));
        run.Export(QStringLiteral("1-3"));
        const QStringList errors = Texts(run.fixture.messages, Kind::Error);
        QCOMPARE(errors.size(), 1);
        const QString prefix = QStringLiteral("无法写入文件：%1（").arg(QDir(run.out.path()).filePath(inTheWay));
        QVERIFY2(errors[0].startsWith(prefix) && errors[0].endsWith(u'）'), qPrintable(errors[0]));
        QCOMPARE(FilesIn(run.out.path()), left);
        QVERIFY(run.Idle());
        QCOMPARE(run.bar()->value(), bar);
    }

    void menuItemOpensTheDialogModally()
    {
        CourseFixture course;
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        Session s(course);
        QAction* item = s.form.findChild<QAction*>(QStringLiteral("miMp3"));
        QVERIFY(item->isEnabled());
        QString title;
        WhenModalShown([&](QDialog& dialog) {
            title = dialog.windowTitle();
            Child<QPushButton>(dialog, "btnClose")->click();
        });
        item->trigger();
        QCOMPARE(title, QStringLiteral("课文制作MP3和歌词文件"));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(messages.entries.empty());
    }
};

VELTRA_APP_TEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
