// The sentence time editor: its handles, and the corrected times reaching the
// database, the text page's grid and every later play.
#include "AppTestSupport.h"
#include "DialogFixture.h"

#include "app/ExercisePages.h"
#include "app/SenPage.h"
#include "app/SenTimeFrm.h"
#include "app/SenWritePage.h"
#include "audio/LessonAudio.h"
#include "controls/QorSenMemo.h"
#include "controls/kznThreadTimer.h"
#include "controls/kznWaveSpan.h"
#include "data/LessonTableModel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>

using Span = TkznWaveSpan::Span;
Q_DECLARE_METATYPE(Span)

namespace {

constexpr int kY = 40;

// Runs one step of a script on the control: "drag begin 400" drags that
// handle to x = 400, "click 580" clicks there, "key Shift+Left*20" presses
// the key 20 times.
void Act(TkznWaveSpan& wave, const QString& step)
{
    const QStringList words = step.split(QLatin1Char(' '));
    if (words[0] == QLatin1String("drag")) {
        const Span span = wave.CurrentSpan();
        const int from = wave.XOfMs(words[1] == QLatin1String("begin") ? span.beginMs : span.endMs);
        QTest::mousePress(&wave, Qt::LeftButton, {}, QPoint(from, kY));
        QTest::mouseMove(&wave, QPoint((from + words[2].toInt()) / 2, kY));
        QTest::mouseMove(&wave, QPoint(words[2].toInt(), kY));
        QTest::mouseRelease(&wave, Qt::LeftButton, {}, QPoint(words[2].toInt(), kY));
    } else if (words[0] == QLatin1String("click")) {
        QTest::mouseClick(&wave, Qt::LeftButton, {}, QPoint(words[1].toInt(), kY));
    } else {
        const QStringList repeat = words[1].split(QLatin1Char('*'));
        const QKeySequence key(repeat[0]);
        for (int i = 0; i < (repeat.size() > 1 ? repeat[1].toInt() : 1); ++i)
            QTest::keyClick(&wave, key[0].key(), key[0].keyboardModifiers());
    }
}

int StoredEnd(TDM& dm, int id)
{
    QSqlQuery query(dm.Database());
    query.prepare(QStringLiteral("Select FEndPos From tblQor1 Where FID=?"));
    query.addBindValue(id);
    return query.exec() && query.next() ? query.value(0).toInt() : -1;
}

}  // namespace

class SenTimeFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() { CaptureBoxes(m_messages, m_errorBoxes); }
    void cleanup() { ReleaseBoxes(); }

    void handlesFollowDragsAndKeysWithinTheirLimits_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<Span>("expected");
        // 10 ms a pixel; the neighbours end at 2000 and begin at 8000.
        const auto row = [](const char* name, QStringList script, Span expected) {
            QTest::newRow(name) << script << expected;
        };
        row("drag the begin", {"drag begin 400"}, {4000, 6000});
        row("drag the begin into the previous sentence", {"drag begin 50"}, {2000, 6000});
        row("drag the begin over the end", {"drag begin 900"}, {5990, 6000});
        row("drag the end", {"drag end 700"}, {3000, 7000});
        row("drag the end into the next sentence", {"drag end 990"}, {3000, 8000});
        row("drag the end over the begin", {"drag end 100"}, {3000, 3010});
        row("right arrow moves the begin 10 ms", {"key Right"}, {3010, 6000});
        row("shift+left moves it 100 ms", {"key Shift+Left"}, {2900, 6000});
        row("tab goes to the end handle", {"key Tab", "key Left"}, {3000, 5990});
        row("shift+tab comes back", {"key Tab", "key Shift+Tab", "key Right"}, {3010, 6000});
        row("keys stop at the previous sentence", {"key Shift+Left*20"}, {2000, 6000});
        row("keys stop at the next sentence", {"key Tab", "key Shift+Right*30"}, {3000, 8000});
        row("keys stop at the other handle", {"key Shift+Right*40", "key Right"}, {5990, 6000});
        row("the end stops at the begin", {"key Tab", "key Shift+Left*40"}, {3000, 3010});
        row("a click picks the nearer handle", {"click 580", "key Left"}, {3000, 5990});
        row("a dragged handle takes the keys", {"drag end 650", "key Right"}, {3000, 6510});
    }
    void handlesFollowDragsAndKeysWithinTheirLimits()
    {
        QFETCH(QStringList, script);
        QFETCH(Span, expected);
        TkznWaveSpan wave;
        wave.resize(1000, 100);
        wave.SetView(0, 10000, std::vector<PeakColumn>(1000, PeakColumn{-0.5f, 0.5f}));
        wave.SetNeighbours(Span{0, 2000}, Span{8000, 9000});
        wave.SetLimits(2000, 8000);
        wave.SetSpan(3000, 6000);
        wave.show();
        QSignalSpy changed(&wave, &TkznWaveSpan::SpanChanged);
        for (const QString& step : script)
            Act(wave, step);
        QCOMPARE(wave.CurrentSpan(), expected);
        if (!changed.isEmpty())
            QCOMPARE(changed.last(), (QVariantList{expected.beginMs, expected.endMs}));
    }

    // The course's lessons: sentences at 0..800 and 1000..1800 of a
    // three-second recording.
    void handlesStopAtTheNeighboursAndTheRecordingsEnds()
    {
        CourseFixture course;
        Session s(course);
        struct Case {
            int row;
            Span start;
            Span lowest;   // after the begin went left as far as it can
            Span highest;  // after the end went right as far as it can
        } cases[] = {{0, {0, 800}, {0, 800}, {0, 1000}},
                     {1, {1000, 1800}, {800, 1800}, {800, s.form.Audio().lengthMs()}}};
        QVERIFY(s.form.Audio().lengthMs() >= 3000);
        for (const Case& c : cases) {
            QVERIFY(s.dm.adsQorSen.MoveTo(c.row));
            TSenTimeForm form(&s.form, s.dm, s.form.Audio());
            QCOMPARE(form.wave->CurrentSpan(), c.start);
            QVERIFY(form.lblSentence->text().startsWith(QStringLiteral("第 %1 句：Sentence").arg(c.row + 1)));
            Act(*form.wave, QStringLiteral("key Shift+Left*40"));
            QCOMPARE(form.wave->CurrentSpan(), c.lowest);
            Act(*form.wave, QStringLiteral("key Tab"));
            Act(*form.wave, QStringLiteral("key Shift+Right*40"));
            QCOMPARE(form.wave->CurrentSpan(), c.highest);
        }
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void okWritesAndTheGridAndEveryPlayFollow()
    {
        CourseFixture course;
        Session s(course);
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        TSenPage* page = PageOf<TSenPage>(s.form.tsSen);
        s.form.Exercises().SenWrite()->btnSenStartClick();  // questions drawn from the old times
        s.dm.adsQorSen.First();
        QSignalSpy played(&s.form.Audio(), &LessonAudio::spanStarted);

        TSenTimeForm form(&s.form, s.dm, s.form.Audio());
        form.show();
        Act(*form.wave, QStringLiteral("key Shift+Right"));
        Act(*form.wave, QStringLiteral("key Tab"));
        Act(*form.wave, QStringLiteral("key Shift+Left*2"));
        QCOMPARE(form.lblTimes->text(), QStringLiteral("开始 0:00.10　　结束 0:00.60　　长度 0.50 秒"));
        form.btnPlayTail->click();
        QCOMPARE(played.last(), (QVariantList{100, 600}));
        form.btnPlayHead->click();
        QCOMPARE(played.last(), (QVariantList{100, 600}));
        QCOMPARE(StoredEnd(s.dm, 1), 800);  // nothing written before OK
        form.btnOk->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));

        QCOMPARE(StoredEnd(s.dm, 1), 600);
        const LessonTableModel* model = s.dm.adsQorSen.Model();
        QCOMPARE(model->data(model->index(0, model->FieldColumn(QStringLiteral("FBeginPos"))),
                             LessonTableModel::RawValueRole).toInt(), 100);
        page->btnSpeakSenClick();
        QCOMPARE(played.last(), (QVariantList{100, 600}));
        for (const TQorSenMemo* memo : s.form.Exercises().SenWrite()->nsmSubject) {
            const Span asked{memo->BeginPos(), memo->EndPos()};
            QVERIFY((asked == Span{100, 600}) || (asked == Span{1000, 1800}));
        }
        QVERIFY(m_messages.entries.empty());
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void cancelAndAFailedWriteChangeNothing()
    {
        CourseFixture course;
        Session s(course);
        TSenPage* page = PageOf<TSenPage>(s.form.tsSen);
        QSignalSpy played(&s.form.Audio(), &LessonAudio::spanStarted);
        {
            TSenTimeForm form(&s.form, s.dm, s.form.Audio());
            form.show();
            Act(*form.wave, QStringLiteral("key Shift+Right*3"));
            form.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
            QCOMPARE(form.result(), int(QDialog::Rejected));
        }
        // Updates of the sentence table now fail.
        s.dm.Database().exec(QStringLiteral(
            "Create Trigger refuse Before Update On tblQor1 Begin Select raise(ABORT, 'read-only'); End"));
        TSenTimeForm form(&s.form, s.dm, s.form.Audio());
        form.show();
        Act(*form.wave, QStringLiteral("key Shift+Right*3"));
        form.btnOk->click();
        QVERIFY(form.isVisible());
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QCOMPARE(m_messages.entries[0].text, QStringLiteral("保存句子时间失败！"));
        QCOMPARE(s.dm.adsQorSen.FieldValue(QStringLiteral("FBeginPos")).toInt(), 0);
        QCOMPARE(StoredEnd(s.dm, 1), 800);
        form.reject();
        page->btnSpeakSenClick();
        QCOMPARE(played.last(), (QVariantList{0, 800}));
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void menusOpenTheEditorOnTheCurrentSentenceWithReadingStopped()
    {
        CourseFixture course;
        Session s(course);
        s.form.show();
        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        TSenPage* page = PageOf<TSenPage>(s.form.tsSen);

        // The grid's context menu: the row under the pointer becomes current.
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        page->btnSenSpeakRuningClick();
        const QRect second = page->grdSen->visualRect(s.dm.adsQorSen.Model()->index(1, 1));
        page->grdSenContextMenu(second.center());
        QCOMPARE(s.dm.adsQorSen.RecNo(), 1);
        QVERIFY(page->pmSen->isVisible());
        page->pmSen->hide();
        QString shown;
        WhenModalShown([&](QDialog& dialog) {
            shown = dialog.findChild<QLabel*>(QStringLiteral("lblSentence"))->text();
            QCOMPARE(page->btnSenSpeakRuning->text(), QStringLiteral("连续朗读"));
            QVERIFY(!s.form.ttSen->Active());
            dialog.reject();
        });
        page->miGridSenTime->trigger();
        QVERIFY(shown.startsWith(QStringLiteral("第 2 句：")));

        // "辅助工具": from another page it shows the text page first.
        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        WhenModalShown([&](QDialog& dialog) {
            QCOMPARE(s.form.pcMain->currentWidget(), s.form.tsSen);
            dialog.reject();
        });
        s.form.findChild<QAction*>(QStringLiteral("miSenTime"))->trigger();
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void withoutARecordingTheEditorSaysWhy()
    {
        CourseFixture course;
        QFile::remove(course.DataDir() + QStringLiteral("qor1/1.qor"));
        Session s(course);
        m_messages.entries.clear();
        QVERIFY(!EditSentenceTime(&s.form, s.dm, s.form.Audio()));
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QCOMPARE(m_messages.entries[0].text, QStringLiteral("本课没有可用的课文录音，无法调整句子时间。"));
    }

private:
    RecordingMessages m_messages;
    QStringList m_errorBoxes;
};

VELTRA_APP_TEST_MAIN(SenTimeFormTest)
#include "SenTimeFormTest.moc"
