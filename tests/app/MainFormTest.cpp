// The main window on a small course: start-up, lesson navigation, page
// bookkeeping, the end-of-span dispatch and the central error box.
#include "AppTestSupport.h"

#include "app/ExplainPage.h"
#include "app/GuideWindow.h"
#include "app/ProgramPaths.h"
#include "app/NotePage.h"
#include "audio/LessonAudio.h"
#include "controls/kznLabelEdit.h"
#include "controls/kznMediaPlayer.h"
#include "controls/kznThreadTimer.h"

#include <QAction>
#include <QLayout>
#include <QCheckBox>
#include <QDialog>
#include <QHelpEvent>
#include <QSpinBox>
#include <QTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include <memory>
#include <stdexcept>

namespace {

QStringList tabCaptions(const QTabWidget* tabs)
{
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    return captions;
}

// An object whose event handler fails the way a handler's database error would.
class FailingObject final : public QObject {
public:
    static QEvent::Type FailType() { return static_cast<QEvent::Type>(QEvent::User + 7); }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == FailType())
            throw std::runtime_error("磁盘已满");
        return QObject::event(e);
    }
};

// Counts the tooltip requests that reach it.
class TipCounter final : public QWidget {
public:
    explicit TipCounter(QWidget* parent)
        : QWidget(parent)
    {
    }
    int tips = 0;

    // Also counts the tooltips that reach the objects it watches.
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip)
            ++tips;
        return false;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip)
            ++tips;
        return QWidget::event(e);
    }
};

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() { CaptureBoxes(m_messages, m_errorBoxes); }
    void cleanup() { ReleaseBoxes(); }

    void windowAsDesigned()
    {
        CourseFixture course;
        Session s(course);
        QVERIFY(!s.form.StartupFailed());
        QVERIFY(m_messages.entries.empty());
        QCOMPARE(s.form.windowTitle(), QStringLiteral("Veltra精读"));
        QCOMPARE(s.form.centralWidget()->size(), QSize(622, 416));
        QCOMPARE(tabCaptions(s.form.pcMain), (QStringList{"单词初记", "重点讲解", "课文精读", "强化练习", "课程笔记"}));
        QCOMPARE(tabCaptions(s.form.pcTest), (QStringList{"单词听写练习", "单词选择练习", "课文听写练习"}));

        QStringList menus;
        for (const QAction* menu : s.form.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{"课程管理 ", " 辅助工具 ", " 帮助"}));
        const auto action = [&](const char* name) { return s.form.findChild<QAction*>(QString::fromLatin1(name)); };
        const char* hidden[] = {"N10", "N11"};
        for (const char* name : hidden)
            QVERIFY2(action(name) && !action(name)->isVisible(), name);
        QCOMPARE(action("miSelect")->text(), QStringLiteral("选择课程"));
        QCOMPARE(action("miAbout")->text(), QStringLiteral("关于..."));

        QVERIFY(s.form.pnlLessonInfo->isHidden());
        QCOMPARE(s.form.lblContent->font().pixelSize(), 19);
        QCOMPARE(s.form.pnlContent->palette().color(QPalette::Window), QColor(192, 220, 192));
        QCOMPARE(s.form.lblContent->text(), QStringLiteral("第一册 - Lesson 1 第1课"));
        s.form.pnlContent->layout()->activate();  // the window is never shown here
        QVERIFY(!s.form.lblContent->IsElided());
        // A title wider than the header stays on one line, ending in "…", instead of
        // two lines cut at the top and bottom; the whole title is kept.
        const QString longTitle = QStringLiteral("第一册 - Tom went to the market on Saturday morning with his sister "
                                                 "and bought apples, bread and a newspaper.");
        s.form.lblContent->setText(longTitle);
        QVERIFY(s.form.lblContent->IsElided());
        QCOMPARE(s.form.lblContent->text(), longTitle);
        const QImage shown = s.form.lblContent->grab().toImage();
        const QRect inside = s.form.lblContent->contentsRect();
        for (int y : {inside.top(), inside.bottom()})
            for (int x = inside.left(); x <= inside.right(); ++x)
                QVERIFY2(shown.pixelColor(x, y).green() >= 200, qPrintable(QStringLiteral("glyph cut at %1,%2").arg(x).arg(y)));
        QCOMPARE(s.form.tsExplain->memoExplain->toPlainText(), ExplanationOf(1));
        QCOMPARE(s.form.imgLessonInfo->pixmap().size(), QSize(16, 16));

        using enum TMPBtnType;
        QVERIFY(s.form.mpWord->isHidden() && s.form.mpFellow->isHidden());
        QVERIFY(s.form.mpWord->VisibleButtons() == (TButtonSet{btPlay, btPause, btStop}));
        QVERIFY(s.form.mpFellow->VisibleButtons() == (TButtonSet{btPlay, btStop, btRecord}));
        QCoreApplication::processEvents();
        QCOMPARE(s.form.mpWord->size(), QSize(85, 30));
    }

    void startPageFollowsFirstSen_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("onText");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("absent") << QString() << false;
    }
    void startPageFollowsFirstSen()
    {
        QFETCH(QString, stored);
        QFETCH(bool, onText);
        CourseFixture course;
        if (!stored.isNull())
            course.SetOption(QStringLiteral("FirstSen"), stored);
        Session s(course);
        QCOMPARE(s.form.pcMain->currentWidget(), onText ? s.form.tsSen : s.form.tsWord);
        QCOMPARE(s.form.FPageDataSet, onText ? &s.dm.adsQorSen : &s.dm.adsQorWord);
    }

    void nextTimeGivesBothPauses_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("delay");
        QTest::newRow("zero is raised to 100 ms") << "0" << 100;
        QTest::newRow("out of range reads as 1 s") << "25" << 1000;
        QTest::newRow("in range") << "3" << 3000;
        QTest::newRow("absent") << QString() << 1000;
    }
    void nextTimeGivesBothPauses()
    {
        QFETCH(QString, stored);
        QFETCH(int, delay);
        CourseFixture course;
        if (!stored.isNull())
            course.SetOption(QStringLiteral("NextTime"), stored);
        Session s(course);
        QCOMPARE(s.form.ttSen->Delay(), delay);
        QCOMPARE(s.form.ttWord->Delay(), delay);
    }

    void restartReopensTheLessonOpenAtClose()
    {
        CourseFixture course;
        {
            Session s(course);
            s.form.NextLesson();
            const QString lessonMp3 = s.form.Audio().lessonAudioFile();
            QVERIFY(QFile::exists(lessonMp3));
            QVERIFY(s.form.close());
            QVERIFY(!QFile::exists(lessonMp3));  // closing leaves no temporary file
        }
        QCOMPARE(course.Option(QStringLiteral("Book")), QStringLiteral("1"));
        QCOMPARE(course.Option(QStringLiteral("Lesson")), QStringLiteral("2"));
        Session again(course);
        QCOMPARE(again.dm.CurContentID, 2);
        QCOMPARE(again.form.lblContent->text(), QStringLiteral("第一册 - Lesson 2 第2课"));
    }

    void missingStartLessonLeavesTheDesignHeader()
    {
        CourseFixture course;
        course.SetOption(QStringLiteral("Lesson"), QStringLiteral("9"));
        Session s(course);
        QCOMPARE(s.form.lblContent->text(), QStringLiteral("第一册：Lesson 1 "));
        QVERIFY(s.form.tsExplain->memoExplain->toPlainText().isEmpty());
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QCOMPARE(m_messages.entries[0].text, QStringLiteral("打开课文出错！"));
        s.form.tsNote->btnNoteEdit->click();  // no lesson: no note to write
        QCOMPARE(m_messages.entries.size(), size_t(2));
        QCOMPARE(m_messages.entries[1].kind, RecordingMessages::Kind::Info);
        QVERIFY(s.form.tsNote->memoNote->isReadOnly());

        s.form.NextLesson();  // before any open, "next" starts at the first lesson
        QCOMPARE(s.dm.CurContentID, 1);
        QVERIFY(s.form.close());
        QCOMPARE(course.Option(QStringLiteral("Lesson")), QStringLiteral("1"));
    }

    void lessonChangeRefreshesHeaderAndExplanationOnly()
    {
        CourseFixture course;
        Session s(course);
        s.form.pcMain->setCurrentWidget(s.form.tsNote);
        s.form.PrevLesson();  // wraps from the first lesson to the last
        QCOMPARE(s.dm.CurContentID, 3);
        QCOMPARE(s.form.lblContent->text(), QStringLiteral("第一册 - Lesson 3 第3课"));
        QCOMPARE(s.form.tsExplain->memoExplain->toPlainText(), ExplanationOf(3));
        QCOMPARE(s.form.pcMain->currentWidget(), s.form.tsNote);
        s.form.NextLesson();  // and from the last back to the first
        QCOMPARE(s.dm.CurContentID, 1);
        QCOMPARE(s.form.tsExplain->memoExplain->toPlainText(), ExplanationOf(1));
    }

    // Titles, words, meanings and sentences are shown as they are: markup in
    // them is never rendered (nor can it load local images). The comparison
    // window's row of the take's words is the one exception: each word is a
    // link, made of letters, digits and apostrophes only, and escaped.
    void labelsShowCourseDataAsPlainText()
    {
        CourseFixture course;
        Session s(course);
        s.form.findChild<QAction*>(QStringLiteral("miCompare"))->trigger();
        const auto labels = s.form.findChildren<QLabel*>();
        QVERIFY(labels.size() > 20);
        for (const QLabel* label : labels) {
            if (label->pixmap().isNull() && label->objectName() != QLatin1String("lblWords"))
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName() + u' ' + label->text()));
        }
    }

    void keyEditsOfTheExplanationAreNotKept()
    {
        CourseFixture course;
        Session s(course);
        TExplainMemo* memo = s.form.tsExplain->memoExplain;
        QTest::keyClick(memo, Qt::Key_F3);
        QTest::keyClick(memo, Qt::Key_F4);
        QVERIFY(memo->toPlainText() != ExplanationOf(1));
        s.form.NextLesson();
        s.form.PrevLesson();
        QCOMPARE(memo->toPlainText(), ExplanationOf(1));
    }

    void exercisePageAlwaysOpensOnWordDictation()
    {
        CourseFixture course;
        Session s(course);
        s.form.pcMain->setCurrentWidget(s.form.tsTest);
        s.form.pcTest->setCurrentWidget(s.form.tsSenWrite);
        QCOMPARE(s.form.FPageDataSet, &s.dm.adsQorSen);
        s.form.pcMain->setCurrentWidget(s.form.tsExplain);
        s.form.pcMain->setCurrentWidget(s.form.tsTest);
        QCOMPARE(s.form.pcTest->currentWidget(), s.form.tsWordWrite);
        QCOMPARE(s.form.FPageDataSet, &s.dm.adsQorWord);
    }

    void spanEndsAreDispatchedByAction()
    {
        CourseFixture course;
        Session s(course);
        auto* reading = s.form.tsSen->findChild<QPushButton*>(QStringLiteral("btnSenSpeakRuning"));
        QVERIFY(reading);
        reading->click();  // started and stopped again
        reading->click();
        s.form.SpeakDone(1);  // arrived after the learner stopped the reading
        QVERIFY(!s.form.ttSen->Active());
        s.form.SpeakDone(7);
        QVERIFY(!s.form.ttSen->Active());
        reading->click();
        s.form.ttSen->SetActive(false);  // as a step leaves it
        s.form.SpeakDone(1);
        QVERIFY(s.form.ttSen->Active());
        reading->click();
        QVERIFY(!s.form.ttSen->Active());
        QVERIFY(m_errorBoxes.isEmpty());

        // Comparing before any take: the recorder is not open, and the
        // failure ends in the error box, once.
        emit s.form.Audio().speakDone(2);
        QCOMPARE(m_errorBoxes.size(), 1);
        s.form.NextLesson();  // and the window goes on working
        QCOMPARE(s.dm.CurContentID, 2);
    }

    // A changed pause applies to sentence reading at once, to word reading
    // only after the next start; hints and the kept pitch follow the dialog too.
    void settingsAreAppliedAfterOk()
    {
        CourseFixture course;
        Session s(course);
        QVERIFY(!s.form.ShowHint());
        QVERIFY(!s.form.Audio().keepsPitch());
        QTimer::singleShot(0, this, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            dialog->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(4);
            dialog->findChild<QCheckBox*>(QStringLiteral("cbTestHint"))->setChecked(true);
            dialog->findChild<QCheckBox*>(QStringLiteral("cbKeepPitch"))->setChecked(true);
            dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
        });
        s.form.findChild<QAction*>(QStringLiteral("miOption"))->trigger();
        QCOMPARE(s.form.ttSen->Delay(), 4000);
        QCOMPARE(s.form.ttWord->Delay(), 1000);
        QVERIFY(s.form.ShowHint());
        QVERIFY(s.form.Audio().keepsPitch());
        QCOMPARE(course.Option(QStringLiteral("NextTime")), QStringLiteral("4"));

        QTimer::singleShot(0, this, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            dialog->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(9);
            dialog->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
        });
        s.form.findChild<QAction*>(QStringLiteral("miOption"))->trigger();
        QCOMPARE(s.form.ttSen->Delay(), 4000);
    }

    void keptPitchAppliesFromStartUp()
    {
        CourseFixture course;
        course.SetOption(QStringLiteral("KeepPitch"), QStringLiteral("1"));
        Session s(course);
        QVERIFY(s.form.Audio().keepsPitch());
    }

    // A new speed reaches the open lesson's stream at once, and the next
    // lesson's stream starts at it.
    void newSpeedReachesTheLessonStream()
    {
        CourseFixture course;
        Session s(course);
        QCOMPARE(s.form.Audio().streamSpeed(), 10);
        QTimer::singleShot(0, this, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QTest::keyClick(dialog->findChild<QWidget*>(QStringLiteral("kznTBO")), Qt::Key_End);
            dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
        });
        s.form.findChild<QAction*>(QStringLiteral("miOption"))->trigger();
        QCOMPARE(course.Option(QStringLiteral("Speed")), QStringLiteral("12"));
        QCOMPARE(s.form.Audio().streamSpeed(), 12);
        s.form.NextLesson();
        QCOMPARE(s.dm.CurContentID, 2);
        QCOMPARE(s.form.Audio().streamSpeed(), 12);
    }

    void hintsReachTheExercisesOnlyWhenShown()
    {
        CourseFixture course;
        course.SetOption(QStringLiteral("TestHint"), QStringLiteral("1"));
        Session s(course);
        QVERIFY(s.form.ShowHint());
        TipCounter counter(s.form.tsWordWrite);
        QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
        QCoreApplication::sendEvent(&counter, &tip);
        QCOMPARE(counter.tips, 1);
        s.form.SetShowHint(false);
        QCoreApplication::sendEvent(&counter, &tip);
        QCOMPARE(counter.tips, 1);
        QLabel outside;  // the rest of the program keeps its tooltips
        TipCounter elsewhere(&outside);
        QCoreApplication::sendEvent(&elsewhere, &tip);
        QCOMPARE(elsewhere.tips, 1);
        // A meaning above its edit is no answer: cut short, it shows whole.
        TkznLabelEdit edit(s.form.tsWordWrite);
        TipCounter captionTips(nullptr);
        edit.EditLabel()->installEventFilter(&captionTips);
        QCoreApplication::sendEvent(edit.EditLabel(), &tip);
        QCOMPARE(captionTips.tips, 1);
    }

    void helpShowsOurGuideWithWorkingLinks()
    {
        CourseFixture course;
        const QString oldAppDir = AppDir();
        const QString oldDataDir = DataDir();
        SetProgramPaths(course.AppDir(), DataDirOf(course.AppDir()));
        Session s(course);
        QAction* help = s.form.findChild<QAction*>(QStringLiteral("miHelp"));
        const QString guide = course.AppDir() + QStringLiteral("help/index.html");

        // Without the guide a message names the file.
        const std::size_t before = m_messages.entries.size();
        help->trigger();
        QCOMPARE(m_messages.entries.size(), before + 1);
        QVERIFY(m_messages.entries.back().text.contains(guide));

        QVERIFY(QDir().mkpath(course.AppDir() + QStringLiteral("help")));
        QFile file(guide);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body><p><a href=\"#later\">later</a></p>"
                   "<h2><a name=\"later\">Later</a></h2></body></html>");
        file.close();
        help->trigger();
        help->trigger();
        const auto windows = s.form.findChildren<TGuideWindow*>();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows[0]->isVisible());
        QTextBrowser* browser = windows[0]->browser;
        QCOMPARE(browser->source(), QUrl::fromLocalFile(guide));
        // The link inside the guide, chosen and followed with the keyboard.
        browser->setFocus();
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Return);
        QCOMPARE(browser->source().fragment(), QStringLiteral("later"));
        QCOMPARE(browser->source().path(), QUrl::fromLocalFile(guide).path());
        QCOMPARE(m_messages.entries.size(), before + 1);
        SetProgramPaths(oldAppDir, oldDataDir);
    }

    // The guide names every command of the menus and what the program does
    // without one, so that a learner finds each there.
    void guideDescribesWhatTheProgramOffers()
    {
        QFile guide(HelpFileOf(QCoreApplication::applicationDirPath() + u'/'));
        if (!guide.open(QIODevice::ReadOnly))
            QSKIP("the build's guide is not beside the test");
        const QString text = QString::fromUtf8(guide.readAll());
        CourseFixture course;
        Session s(course);
        QStringList named;
        for (const QAction* menu : s.form.menuBar()->actions()) {
            for (const QAction* item : menu->menu()->actions()) {
                if (item->isVisible() && !item->isSeparator())
                    named << item->text().remove(QStringLiteral("…")).remove(QStringLiteral("..."));
            }
        }
        QVERIFY(named.size() > 10);
        named << QStringLiteral("变速不变调") << QStringLiteral("显示正确答案的提示") << QStringLiteral("句末")
              << QStringLiteral("PageDown") << QStringLiteral("红色") << QStringLiteral("postoffice")
              << QStringLiteral("qor.mdb") << QStringLiteral("veltra-course import")
              << QStringLiteral("~/.local/share/veltra/Data") << QStringLiteral("--data");
        for (const QString& name : named)
            QVERIFY2(text.contains(name), qPrintable(name));
    }

    void aboutBoxIsModelessAndSingle()
    {
        CourseFixture course;
        Session s(course);
        QAction* about = s.form.findChild<QAction*>(QStringLiteral("miAbout"));
        about->trigger();
        about->trigger();
        const auto boxes = s.form.findChildren<QDialog*>(QStringLiteral("AboutBox"));
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->isVisible());
        QVERIFY(!boxes[0]->isModal());
        QVERIFY(boxes[0]->findChild<QLabel*>(QStringLiteral("lblVersion"))->text().contains(QStringLiteral(VELTRA_VERSION)));
    }

    void handlerFailureShowsTheErrorBoxAndGoesOn()
    {
        FailingObject failing;
        QEvent fail(FailingObject::FailType());
        QCoreApplication::sendEvent(&failing, &fail);
        QCOMPARE(m_errorBoxes, QStringList{QStringLiteral("磁盘已满")});

        // A queued call fails the same way, and the loop goes on with the next.
        bool ranAfter = false;
        QMetaObject::invokeMethod(
            &failing, [] { throw std::runtime_error("队列调用失败"); }, Qt::QueuedConnection);
        QMetaObject::invokeMethod(&failing, [&] { ranAfter = true; }, Qt::QueuedConnection);
        QTRY_VERIFY(ranAfter);
        QCOMPARE(m_errorBoxes, (QStringList{QStringLiteral("磁盘已满"), QStringLiteral("队列调用失败")}));
    }

private:
    RecordingMessages m_messages;
    QStringList m_errorBoxes;
};

VELTRA_APP_TEST_MAIN(MainFormTest)

#include "MainFormTest.moc"
