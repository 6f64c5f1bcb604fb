// The study record on the main window: studying a lesson through, the
// lesson-information panel and box, and the dialog "今日复习" run from the menu.
#include "AppTestSupport.h"
#include "DialogFixture.h"
#include "controls/EventPump.h"

#include "app/LessonInfo.h"
#include "app/SenPage.h"
#include "audio/LessonAudio.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

namespace {

const QDateTime kStart(QDate(2026, 12, 10), QTime(14, 0));

TSenPage* SenPage(TMainForm& form)
{
    return form.tsSen->findChild<TSenPage*>(QString(), Qt::FindDirectChildrenOnly);
}

QStringList PanelValues(const TMainForm& form)
{
    return {form.lblStudyCount->text(), form.lblLastStudyTime->text(), form.lblNextStudyTime->text()};
}

// Plays the open lesson's sentences `rows` on the text page: a click in the
// list for the first, "朗读句子" for the others; each plays `ms`
// milliseconds, or to its end when `ms` is 0.
void PlayRows(TMainForm& form, const QList<int>& rows, int ms = 0)
{
    TSenPage* page = SenPage(form);
    for (int row : rows) {
        QSignalSpy heard(&form.Audio(), &LessonAudio::spanHeard);
        QVERIFY(form.DM.adsQorSen.MoveTo(row));
        if (row == rows.first())
            page->grdSenCellClick();
        else
            page->btnSpeakSen->click();
        if (ms > 0)
            PumpFor(ms);
        else
            QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 1, 5000);
    }
}

// Runs "今日复习"; `act` sees the dialog and must close it.
void RunReview(TMainForm& form, std::function<void(QDialog&)> act)
{
    WhenModalShown(std::move(act));
    form.findChild<QAction*>(QStringLiteral("miReview"))->trigger();
}

QStringList ListedRows(QDialog& dialog)
{
    auto* grid = Child<QTableView>(dialog, "grdReview");
    QStringList rows;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            if (!grid->isColumnHidden(column))
                cells << grid->model()->index(row, column).data().toString();
        }
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

class LessonInfoTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_messages = RecordingMessages();
        InstallMessages(&m_messages);
    }
    void cleanup() { InstallMessages(nullptr); }

    void studiedLessonIsDueHalfAnHourLater()
    {
        CourseFixture course;
        Session s(course);
        QDateTime now = kStart;
        s.form.LessonInfo().Visit().SetClock([&] { return now; });
        QCOMPARE(PanelValues(s.form), (QStringList{"0", "未学习", ""}));

        PlayRows(s.form, {0});
        PumpFor(100);
        QCOMPARE(s.form.lblStudyCount->text(), QStringLiteral("0"));  // one sentence of two
        PlayRows(s.form, {1});
        QTRY_COMPARE(PanelValues(s.form), (QStringList{"1", "2026/12/10", "2026/12/10"}));
        PlayRows(s.form, {1, 0});  // a second pass in the same visit
        PumpFor(100);
        QCOMPARE(s.form.lblStudyCount->text(), QStringLiteral("1"));

        // The panel follows a lesson change.
        s.form.NextLesson();
        QCOMPARE(PanelValues(s.form), (QStringList{"0", "未学习", ""}));

        now = kStart.addSecs(29 * 60);
        RunReview(s.form, [](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("今日复习"));
            QVERIFY(Child<QTableView>(dialog, "grdReview")->isHidden());
            QCOMPARE(Child<QLabel>(dialog, "lblEmpty")->text(), QStringLiteral("没有需要复习的课程。"));
            QVERIFY(!Child<QPushButton>(dialog, "btnOk")->isEnabled());
            Child<QPushButton>(dialog, "btnCancel")->click();
        });
        QCOMPARE(s.dm.CurContentID, 2);

        now = kStart.addSecs(30 * 60);
        QStringList listed;
        RunReview(s.form, [&listed](QDialog& dialog) {
            listed = ListedRows(dialog);
            auto* grid = Child<QTableView>(dialog, "grdReview");
            const QRect cell = grid->visualRect(grid->model()->index(0, 1));
            // The view takes a double-click only on the row its press was on.
            QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            if (dialog.isVisible())
                dialog.reject();
        });
        QCOMPARE(listed, QStringList{"第一册|Lesson 1 第1课|1|2026/12/10|2026/12/10"});
        QCOMPARE(s.dm.CurContentID, 1);
        QCOMPARE(s.form.lblContent->text(), QStringLiteral("第一册 - Lesson 1 第1课"));
        QCOMPARE(PanelValues(s.form), (QStringList{"1", "2026/12/10", "2026/12/10"}));

        // Opening it again is a new visit, which counts again.
        now = kStart.addDays(1);
        PlayRows(s.form, {1, 0});
        QTRY_COMPARE(PanelValues(s.form), (QStringList{"2", "2026/12/11", "2026/12/12"}));
        QVERIFY(m_messages.entries.empty());
    }

    // Stepping through the sentences, each cut off after 0.3 s, hears none
    // of them; hearing each to its end studies the lesson.
    void onlySentencesPlayedToTheirEndCount()
    {
        CourseFixture course;
        Session s(course);
        PlayRows(s.form, {0, 1, 0, 1}, 300);
        s.form.Audio().StopLessonAudio();
        PumpFor(1000);
        QCOMPARE(s.form.lblStudyCount->text(), QStringLiteral("0"));
        PlayRows(s.form, {1, 0});
        QTRY_COMPARE(s.form.lblStudyCount->text(), QStringLiteral("1"));
        QVERIFY(m_messages.entries.empty());
    }

    void lessonInformationShowsOnHoverAndFromTheMenu()
    {
        CourseFixture course;
        course.Execute(QStringLiteral("Update tblContent Set FStudyCount=3, FLastTime=?"),
                       {DateTimeToDayCount(kStart)});
        Session s(course);
        QVERIFY(!s.form.Label8->isHidden());
        QVERIFY(!s.form.imgLessonInfo->isHidden());
        QAction* look = s.form.findChild<QAction*>(QStringLiteral("miLook"));
        QVERIFY(look->isVisible());
        QCOMPARE(look->text(), QStringLiteral("查看课程学习情况"));

        for (QWidget* trigger : {static_cast<QWidget*>(s.form.imgLessonInfo), static_cast<QWidget*>(s.form.Label8)}) {
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(trigger, &enter);
            QVERIFY(!s.form.pnlLessonInfo->isHidden());
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(trigger, &leave);
            QVERIFY(s.form.pnlLessonInfo->isHidden());
        }
        // The panel never covers its trigger.
        const QRect icon(s.form.imgLessonInfo->mapTo(s.form.centralWidget(), QPoint()), s.form.imgLessonInfo->size());
        QVERIFY(!s.form.pnlLessonInfo->geometry().intersects(icon));

        look->trigger();
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QCOMPARE(m_messages.entries[0].kind, RecordingMessages::Kind::Info);
        QCOMPARE(m_messages.entries[0].text,
                 QStringLiteral("本课学习次数：3\n上一次学习时间：2026/12/10\n下一次复习时间：2026/12/13"));
    }

private:
    RecordingMessages m_messages;
};

VELTRA_APP_TEST_MAIN(LessonInfoTest)

#include "LessonInfoTest.moc"
