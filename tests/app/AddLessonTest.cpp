// The dialog "添加课文": its fields, what it refuses before running anything,
// and a run of the course tool (a shell script standing in for it) from
// progress to the new lesson opened, a failure, or a cancel that stops it.
#include "AppTestSupport.h"
#include "DialogFixture.h"

#include "app/AddLessonFrm.h"
#include "app/ChooseFile.h"
#include "app/ProgramPaths.h"
#include "data/TextCodec.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <memory>

namespace {

// A shell script in `folder` standing in for the course tool. Before its
// body runs it records its arguments ("args", one a line) and copies the
// texts it was handed ("text.txt", "chinese.txt"), which are gone after the run.
class ToolStandIn {
public:
    explicit ToolStandIn(QString folder) : m_folder(std::move(folder)) {}

    QString Path() const { return m_folder + QStringLiteral("veltra-course"); }

    void Write(const QByteArray& body) const
    {
        for (const char* name : {"args", "text.txt", "chinese.txt", "stopped", "go"})
            QFile::remove(m_folder + QString::fromLatin1(name));
        QFile script(Path());
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\n"
                     "here=$(dirname \"$0\")\n"
                     "printf '%s\\n' \"$@\" > \"$here/args\"\n"
                     "while [ $# -gt 1 ]; do\n"
                     "  case \"$1\" in\n"
                     "    --text) cp \"$2\" \"$here/text.txt\" ;;\n"
                     "    --chinese) cp \"$2\" \"$here/chinese.txt\" ;;\n"
                     "  esac\n"
                     "  shift\n"
                     "done\n");
        script.write(body);
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    QStringList Args() const
    {
        const QString text = QString::fromUtf8(Read("args"));
        return text.isEmpty() ? QStringList() : text.chopped(1).split(QLatin1Char('\n'));
    }
    QString Arg(const QString& option) const
    {
        const QStringList args = Args();
        const qsizetype at = args.indexOf(option);
        return at >= 0 ? args.value(at + 1) : QString();
    }
    QByteArray Read(const char* name) const
    {
        QFile file(m_folder + QString::fromLatin1(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool Exists(const char* name) const { return QFile::exists(m_folder + QString::fromLatin1(name)); }
    void Touch(const char* name) const
    {
        QFile file(m_folder + QString::fromLatin1(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private:
    QString m_folder;
};

// Progress in two pieces of a line, then it waits for "go" before it reports.
const QByteArray kSlowTool = "printf '[5/10'; sleep 0.2; printf '0] aligning the text\\n'\n"
                             "while [ ! -e \"$here/go\" ]; do sleep 0.05; done\n"
                             "echo '[97/100] writing the lesson'\n";

// Answers SIGTERM as the tool does: cleans up, says so, exit 1.
const QByteArray kStoppableTool =
    "trap 'echo stopped > \"$here/stopped\"; echo \"veltra-course: stopped; nothing was added\" >&2; exit 1' TERM\n"
    "echo '[5/100] aligning the text'\n"
    "while :; do sleep 0.05; done\n";

// Hands out fixed files instead of showing a file dialog.
class FakeChooser final : public FileChooser {
public:
    std::optional<QString> choose(QWidget*, const QString&, const QString& filter) override
    {
        filters << filter;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
    QStringList answers;
    QStringList filters;
};

int LessonRows(const CourseFixture& course)
{
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lesson-rows"));
        db.setDatabaseName(course.DataDir() + QStringLiteral("qor.db"));
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("Select count(*) From tblContent")) && query.next())
            rows = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("lesson-rows"));
    return rows;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(bytes) == bytes.size());
}

}  // namespace

class AddLessonTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CourseFixture> m_course;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<ToolStandIn> m_tool;
    RecordingMessages m_messages;
    QStringList m_errorBoxes;
    QString m_mp3;

    // A dialog with a recording, a three-sentence text and its translation.
    std::unique_ptr<TAddLessonForm> FilledForm()
    {
        auto form = std::make_unique<TAddLessonForm>(nullptr, *m_dm, m_tool->Path());
        form->edtAudio->setText(m_mp3);
        form->memText->setPlainText(QStringLiteral("The Old Lighthouse\nIt stood on the rock. Mr. Hale kept it."));
        form->memChinese->setPlainText(QString::fromUtf8("老灯塔\n它立在岩石上。\n黑尔先生看守它。"));
        form->cbBook->setCurrentIndex(1);
        form->show();
        return form;
    }

    QString DataFolder() const { return m_course->DataDir(); }

private slots:
    void init()
    {
        CaptureBoxes(m_messages, m_errorBoxes);
        m_course = std::make_unique<CourseFixture>(2);
        m_dm = std::make_unique<TDM>(m_course->DataDir());
        m_tool = std::make_unique<ToolStandIn>(m_course->AppDir());
        m_mp3 = m_course->AppDir() + QStringLiteral("lesson.mp3");
        WriteFile(m_mp3, ShortMp3());
    }
    void cleanup()
    {
        m_dm.reset();
        m_course.reset();
        ReleaseBoxes();
    }

    void fieldsFollowTheTextAndReadFiles()
    {
        m_dm->CurBook = 3;
        TAddLessonForm form(nullptr, *m_dm, m_tool->Path());
        QCOMPARE(form.cbBook->count(), 4);
        QCOMPARE(form.cbBook->itemText(0), QString::fromUtf8("Veltra第一册"));
        QCOMPARE(form.cbBook->currentIndex(), 2);
        QVERIFY(!form.pbAuthor->isVisibleTo(&form));

        // The title follows the text's first sentence until the learner writes one:
        // a heading line, or the start of running text, not its whole paragraph.
        form.memText->setPlainText(QStringLiteral("\n  The   Old Lighthouse \nIt stood on the rock."));
        QCOMPARE(form.edtTitle->text(), QStringLiteral("The Old Lighthouse"));
        form.memText->setPlainText(QStringLiteral("Tom went to the market. He bought apples and bread."));
        QCOMPARE(form.edtTitle->text(), QStringLiteral("Tom went to the market."));
        form.memText->setPlainText(QStringLiteral("A New Title\nIt stood on the rock."));
        QCOMPARE(form.edtTitle->text(), QStringLiteral("A New Title"));
        form.edtTitle->setText(QStringLiteral("Mine"));
        form.memText->setPlainText(QStringLiteral("Another\nIt stood."));
        QCOMPARE(form.edtTitle->text(), QStringLiteral("Mine"));

        // Files: a UTF-8 text with BOM and CR LF, a translation saved as GB18030, an unreadable one.
        const QString english = m_course->AppDir() + QStringLiteral("english.txt");
        const QString chinese = m_course->AppDir() + QStringLiteral("chinese.txt");
        WriteFile(english, "\xEF\xBB\xBFOne.\r\nTwo.\r\n");
        WriteFile(chinese, TextToGb18030(QString::fromUtf8("一。\n二。\n")));
        FakeChooser chooser;
        chooser.answers = {m_mp3, english, chinese, m_course->AppDir() + QStringLiteral("missing.txt")};
        ScopedFileChooser installed(&chooser);
        form.btnAudio->click();
        form.btnText->click();
        form.btnChinese->click();
        form.btnChinese->click();
        QCOMPARE(form.edtAudio->text(), m_mp3);
        QVERIFY(chooser.filters[0].contains(QStringLiteral("*.mp3 *.wav *.flac *.ogg")));
        QCOMPARE(form.memText->toPlainText(), QStringLiteral("One.\nTwo.\n"));
        QCOMPARE(form.memChinese->toPlainText(), QString::fromUtf8("一。\n二。\n"));
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QVERIFY(m_messages.entries[0].text.contains(QStringLiteral("missing.txt")));
        // A cancelled chooser changes nothing.
        form.btnAudio->click();
        QCOMPARE(form.edtAudio->text(), m_mp3);
    }

    void startRefusesWhatTheToolCannotUse_data()
    {
        QTest::addColumn<QString>("audio");  // "=" keeps the recording
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("focus");
        const QString text = QStringLiteral("It stood on the rock. Mr. Hale kept it.\nThe light went out.");
        QTest::newRow("no recording") << QString() << text << QString()
                                      << QString::fromUtf8("请选择这一课的录音文件") << "edtAudio";
        QTest::newRow("missing recording") << QStringLiteral("/no/such/lesson.mp3") << text << QString()
                                           << QString::fromUtf8("找不到录音文件") << "edtAudio";
        QTest::newRow("not a recording") << QStringLiteral("text") << text << QString()
                                         << QString::fromUtf8("只能使用 MP3、WAV、FLAC 或 Ogg 录音") << "edtAudio";
        QTest::newRow("no text") << QStringLiteral("=") << QStringLiteral(" \n\n  ") << QString()
                                 << QString::fromUtf8("请输入这一课的英文课文") << "memText";
        QTest::newRow("fewer translations") << QStringLiteral("=") << text << QString::fromUtf8("一\n二")
                                            << QString::fromUtf8("中文译文有 2 行，英文课文有 3 句") << "memChinese";
        QTest::newRow("more translations") << QStringLiteral("=") << text << QString::fromUtf8("一\n\n二\n三\n四\n")
                                           << QString::fromUtf8("中文译文有 4 行，英文课文有 3 句") << "memChinese";
    }
    void startRefusesWhatTheToolCannotUse()
    {
        QFETCH(QString, audio);
        QFETCH(QString, text);
        QFETCH(QString, chinese);
        QFETCH(QString, says);
        QFETCH(QString, focus);
        m_tool->Write("echo 'added book 2 lesson 1: 3 sentences, 0 uncertain'\n");
        TAddLessonForm form(nullptr, *m_dm, m_tool->Path());
        form.edtAudio->setText(audio == QLatin1String("=") ? m_mp3
                               : audio == QLatin1String("text") ? m_tool->Path()
                                                                : audio);
        form.memText->setPlainText(text);
        form.memChinese->setPlainText(chinese);
        form.show();
        // Enter starts, as the default button.
        QTest::keyClick(form.edtTitle, Qt::Key_Return);
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QVERIFY2(m_messages.entries[0].text.contains(says), qPrintable(m_messages.entries[0].text));
        QCOMPARE(form.focusWidget()->objectName(), focus);
        QVERIFY(!form.Running());
        QVERIFY(form.isVisible());
        QTest::qWait(50);
        QVERIFY(!m_tool->Exists("args"));
        QVERIFY(form.btnStart->isEnabled());
    }

    void progressFromTheToolThenTheLessonItAdded()
    {
        m_tool->Write(kSlowTool + "printf '1\\t0\\t1200\\t0.93\\n2\\t1300\\t2500\\t0.41\\t?\\n3\\t2600\\t3000\\t0.88\\n'\n"
                                  "echo 'added book 2 lesson 4: 3 sentences, 1 uncertain'\n");
        std::unique_ptr<TAddLessonForm> form = FilledForm();
        form->edtTitle->setText(QString::fromUtf8("灯塔 The Lighthouse"));
        form->btnStart->click();

        QVERIFY(form->Running());
        QTRY_COMPARE(form->pbAuthor->value(), 5);
        QVERIFY(form->pbAuthor->isVisibleTo(form.get()));
        QVERIFY2(form->lblStatus->text().contains(QString::fromUtf8("正在查找每一句在录音中的位置")),
                 qPrintable(form->lblStatus->text()));
        for (QWidget* w : std::initializer_list<QWidget*>{form->edtAudio, form->memText, form->memChinese,
                                                          form->cbBook, form->edtTitle, form->btnStart})
            QVERIFY(!w->isEnabled());
        QVERIFY(form->btnCancel->isEnabled());

        const QStringList args = m_tool->Args();
        QCOMPARE(args.mid(0, 4), (QStringList{QStringLiteral("author"), m_dm->DataDir(), QStringLiteral("--book"),
                                              QStringLiteral("2")}));
        QCOMPARE(m_tool->Arg(QStringLiteral("--audio")), m_mp3);
        QCOMPARE(m_tool->Arg(QStringLiteral("--title")), QString::fromUtf8("灯塔 The Lighthouse"));
        const QString textFile = m_tool->Arg(QStringLiteral("--text"));
        const QString chineseFile = m_tool->Arg(QStringLiteral("--chinese"));
        QVERIFY(QFile::exists(textFile) && QFile::exists(chineseFile));
        QCOMPARE(m_tool->Read("text.txt"), form->memText->toPlainText().toUtf8());
        QCOMPARE(m_tool->Read("chinese.txt"), form->memChinese->toPlainText().toUtf8());

        m_tool->Touch("go");
        QTRY_VERIFY(!form->Running());
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(!form->isVisible());
        QVERIFY(form->Added());
        QCOMPARE(form->Added()->book, 2);
        QCOMPARE(form->Added()->lesson, 4);
        QCOMPARE(form->Added()->sentences, 3);
        QCOMPARE(form->Added()->uncertain, QList<int>{2});
        QVERIFY(!QFile::exists(textFile) && !QFile::exists(chineseFile));
        QVERIFY(m_messages.entries.empty());
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void withoutATranslationNoneIsPassed()
    {
        m_tool->Write("echo 'added book 2 lesson 3: 3 sentences, 0 uncertain'\n");
        std::unique_ptr<TAddLessonForm> form = FilledForm();
        form->memChinese->setPlainText(QStringLiteral(" \n"));
        form->edtTitle->clear();
        form->btnStart->click();
        QTRY_VERIFY(!form->Running());
        QVERIFY(form->Added());
        QVERIFY(!m_tool->Args().contains(QStringLiteral("--chinese")));
        QVERIFY(!m_tool->Args().contains(QStringLiteral("--title")));
    }

    void aFailureShowsWhyAndKeepsTheDialog_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("tool");
        QTest::addColumn<QStringList>("says");
        QTest::newRow("the tool's reason")
            << QByteArray("echo '[5/100] aligning the text'\n"
                          "echo 'veltra-course: the text does not match the recording' >&2; exit 1\n")
            << true
            << QStringList{QString::fromUtf8("无法用这份录音和课文制作新课，课程没有改动"),
                           QStringLiteral("the text does not match the recording")};
        QTest::newRow("a bad command line")
            << QByteArray("echo 'veltra-course: unknown option --x' >&2; exit 2\n") << true
            << QStringList{QString::fromUtf8("课程工具不接受这些参数"), QStringLiteral("unknown option --x")};
        QTest::newRow("a crash") << QByteArray("echo '[5/100] aligning the text'\nkill -9 $$\n") << true
                                 << QStringList{QString::fromUtf8("课程工具意外退出")};
        QTest::newRow("success without a report") << QByteArray("exit 0\n") << true
                                                  << QStringList{QString::fromUtf8("没有报告添加了哪一课")};
        QTest::newRow("a report with a failure")
            << QByteArray("echo 'added book 2 lesson 4: 3 sentences, 0 uncertain'\n"
                          "echo 'veltra-course: cannot write the lesson' >&2; exit 1\n")
            << true << QStringList{QStringLiteral("cannot write the lesson")};
        QTest::newRow("no tool") << QByteArray() << false << QStringList{QString::fromUtf8("找不到课程工具")};
    }
    void aFailureShowsWhyAndKeepsTheDialog()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, tool);
        QFETCH(QStringList, says);
        if (tool)
            m_tool->Write(body);
        else
            QFile::remove(m_tool->Path());
        std::unique_ptr<TAddLessonForm> form = FilledForm();
        const QString text = form->memText->toPlainText();
        form->btnStart->click();
        QTRY_VERIFY(!form->Running());
        QTRY_COMPARE(m_messages.entries.size(), size_t(1));
        QCOMPARE(m_messages.entries[0].kind, RecordingMessages::Kind::Error);
        for (const QString& part : says)
            QVERIFY2(m_messages.entries[0].text.contains(part), qPrintable(m_messages.entries[0].text));
        QVERIFY(!form->Added());
        QVERIFY(form->isVisible());
        QCOMPARE(form->lblStatus->text(), QString::fromUtf8("没有添加课文。"));
        QVERIFY(form->btnStart->isEnabled() && form->memText->isEnabled());
        QCOMPARE(form->memText->toPlainText(), text);
        QVERIFY(!form->pbAuthor->isVisibleTo(form.get()));
        if (tool)
            QVERIFY(!QFile::exists(m_tool->Arg(QStringLiteral("--text"))));
    }

    void cancelStopsTheToolAndAddsNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("取消") << QStringLiteral("button");
        QTest::newRow("Escape") << QStringLiteral("escape");
        QTest::newRow("window closed") << QStringLiteral("close");
        QTest::newRow("dialog destroyed") << QStringLiteral("destroy");
    }
    void cancelStopsTheToolAndAddsNothing()
    {
        QFETCH(QString, how);
        m_tool->Write(kStoppableTool);
        const int lessons = LessonRows(*m_course);
        std::unique_ptr<TAddLessonForm> form = FilledForm();
        form->btnStart->click();
        QTRY_COMPARE(form->pbAuthor->value(), 5);
        const QString textFile = m_tool->Arg(QStringLiteral("--text"));
        QVERIFY(QFile::exists(textFile));

        if (how == QLatin1String("button"))
            form->btnCancel->click();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(form.get(), Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            form->close();
        else
            form.reset();

        if (form) {
            // The dialog waits for the tool to end; until then the learner sees why.
            QVERIFY(form->Running());
            QVERIFY(form->isVisible());
            QCOMPARE(form->lblStatus->text(), QString::fromUtf8("正在停止…"));
            QVERIFY(!form->btnCancel->isEnabled());
            QTRY_VERIFY(!form->isVisible());
            QCOMPARE(form->result(), int(QDialog::Rejected));
            QVERIFY(!form->Added());
            QVERIFY(!form->Running());
        }
        QVERIFY(m_tool->Exists("stopped"));
        QVERIFY(!QFile::exists(textFile));
        QVERIFY(m_messages.entries.empty());
        QVERIFY(m_errorBoxes.isEmpty());
        QCOMPARE(LessonRows(*m_course), lessons);
    }

    void uncertainSentencesAreNamed()
    {
        QCOMPARE(UncertainTimesText({3, 7}), QString::fromUtf8("第 3、7 句的时间可能不准，请在课文精读页检查。"));
        QCOMPARE(UncertainTimesText({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}),
                 QString::fromUtf8("第 1、2、3、4、5、6、7、8、9、10、11、12 等 14 句的时间可能不准，请在课文精读页检查。"));
    }

    // Through the menu: the lesson the tool added opens on the text page.
    void theNewLessonOpensFromTheMenu()
    {
        m_dm.reset();
        m_course->Execute(QStringLiteral("Delete From tblContent Where FID=2"));
        const QString oldAppDir = AppDir();
        const QString oldDataDir = DataDir();
        SetProgramPaths(m_course->AppDir(), m_course->DataDir());
        m_tool->Write(kSlowTool + "for n in 1 2 3 4 5 6 7 8; do\n"
                                  "  if [ $n = 3 ] || [ $n = 7 ]; then printf '%s\\t0\\t10\\t0.30\\t?\\n' $n;\n"
                                  "  else printf '%s\\t0\\t10\\t0.90\\n' $n; fi\n"
                                  "done\n"
                                  "echo 'added book 1 lesson 2: 8 sentences, 2 uncertain'\n");
        {
            Session s(*m_course);
            QCOMPARE(s.dm.CurContentID, 1);
            s.form.pcMain->setCurrentWidget(s.form.tsWord);
            QAction* item = s.form.findChild<QAction*>(QStringLiteral("miAddLesson"));
            QVERIFY(item);
            QCOMPARE(item->text(), QString::fromUtf8("添加课文…"));
            WhenModalShown([&](QDialog& dialog) {
                Child<QLineEdit>(dialog, "edtAudio")->setText(m_mp3);
                Child<QPlainTextEdit>(dialog, "memText")->setPlainText(QStringLiteral("Lesson 2\nIt rained."));
                Child<QPushButton>(dialog, "btnStart")->click();
                QTRY_COMPARE(Child<QProgressBar>(dialog, "pbAuthor")->value(), 5);
                // What the tool writes in its last step.
                m_course->Execute(QStringLiteral("Insert Into tblContent Values(2,1,2,3,4,'Lesson 2 ','第2课',0,NULL)"));
                m_tool->Touch("go");
            });
            item->trigger();

            QCOMPARE(s.dm.CurContentID, 2);
            QCOMPARE(s.dm.CurLesson, 2);
            QCOMPARE(s.form.pcMain->currentWidget(), s.form.tsSen);
            QCOMPARE(s.form.focusWidget(), Child<QTableView>(*s.form.tsSen, "grdSen"));
            QVERIFY2(s.form.lblContent->text().contains(QStringLiteral("Lesson 2")),
                     qPrintable(s.form.lblContent->text()));
            QCOMPARE(m_messages.entries.size(), size_t(1));
            QCOMPARE(m_messages.entries[0].kind, RecordingMessages::Kind::Info);
            QCOMPARE(m_messages.entries[0].text, QString::fromUtf8("第 3、7 句的时间可能不准，请在课文精读页检查。"));
        }
        SetProgramPaths(oldAppDir, oldDataDir);
    }

    void aCancelFromTheMenuKeepsTheLessonOpen()
    {
        m_dm.reset();
        const QString oldAppDir = AppDir();
        const QString oldDataDir = DataDir();
        SetProgramPaths(m_course->AppDir(), m_course->DataDir());
        m_tool->Write(kStoppableTool);
        {
            Session s(*m_course);
            const QString header = s.form.lblContent->text();
            WhenModalShown([&](QDialog& dialog) {
                Child<QLineEdit>(dialog, "edtAudio")->setText(m_mp3);
                Child<QPlainTextEdit>(dialog, "memText")->setPlainText(QStringLiteral("It rained."));
                Child<QPushButton>(dialog, "btnStart")->click();
                QTRY_COMPARE(Child<QProgressBar>(dialog, "pbAuthor")->value(), 5);
                Child<QPushButton>(dialog, "btnCancel")->click();
            });
            s.form.findChild<QAction*>(QStringLiteral("miAddLesson"))->trigger();
            QCOMPARE(s.dm.CurContentID, 1);
            QCOMPARE(s.form.lblContent->text(), header);
            QVERIFY(m_tool->Exists("stopped"));
            QVERIFY(m_messages.entries.empty());
        }
        SetProgramPaths(oldAppDir, oldDataDir);
    }
};

VELTRA_APP_TEST_MAIN(AddLessonTest)

#include "AddLessonTest.moc"
