// The three exercises on the main window: page switching, the start-up
// draw source, and the real word player and lesson audio behind them.
#include "AppTestSupport.h"
#include "controls/EventPump.h"

#include "app/ExercisePages.h"
#include "app/ExplainPage.h"
#include "app/NotePage.h"
#include "app/SenPage.h"
#include "app/SenWritePage.h"
#include "app/WordPage.h"
#include "app/WordSelectPage.h"
#include "app/WordWritePage.h"
#include "audio/LessonAudio.h"
#include "controls/QorSenMemo.h"
#include "controls/QorWordSelectLabel.h"
#include "controls/kznLabelEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>

class ExerciseWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { CaptureBoxes(m_messages, m_errorBoxes); }
    void cleanup() { ReleaseBoxes(); }

    void pagesAreClearedOnlyWhenAnotherExerciseComesToFront()
    {
        CourseFixture course;
        Session s(course);
        s.form.Exercises().Random().Seed(3);
        TWordWritePage& write = *s.form.Exercises().WordWrite();
        QCOMPARE(write.tsWordWrite, s.form.tsWordWrite);

        // "单词练习" on the word page opens the dictation directly.
        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        PageOf<TWordPage>(s.form.tsWord)->btnWordTest->click();
        QCOMPARE(s.form.pcMain->currentWidget(), s.form.tsTest);
        QCOMPARE(s.form.pcTest->currentWidget(), s.form.tsWordWrite);
        write.btnStart->click();
        QCOMPARE(write.DictationEdits[0]->Answer(), QStringLiteral("word1"));
        QCOMPARE(write.DictationEdits[0]->Caption(), QStringLiteral("词1"));
        write.DictationEdits[0]->setText(QStringLiteral("typed"));

        // Another main page and back: the dictation is in front and intact.
        s.form.pcMain->setCurrentWidget(s.form.tsExplain);
        s.form.pcMain->setCurrentWidget(s.form.tsTest);
        QCOMPARE(s.form.pcTest->currentWidget(), s.form.tsWordWrite);
        QCOMPARE(write.DictationEdits[0]->text(), QStringLiteral("typed"));
        QCOMPARE(write.DictationEdits[0]->Answer(), QStringLiteral("word1"));

        // Another exercise in front clears it.
        s.form.pcTest->setCurrentWidget(s.form.tsWordSelect);
        QVERIFY(write.DictationEdits[0]->Answer().isEmpty());
        QCOMPARE(write.DictationEdits[0]->Caption(), QStringLiteral("单词"));

        // Leaving the exercise tab brings the dictation back to front, which
        // clears the selection.
        TWordSelectPage& select = *s.form.Exercises().WordSelect();
        select.btnBegin->click();
        QCOMPARE(select.nwsSubject[0]->text(), QStringLiteral("word1"));
        s.form.pcMain->setCurrentWidget(s.form.tsNote);
        s.form.pcMain->setCurrentWidget(s.form.tsTest);
        QCOMPARE(s.form.pcTest->currentWidget(), s.form.tsWordWrite);
        QCOMPARE(select.nwsSubject[0]->text(), QStringLiteral("单词"));
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void textPageButtonOpensAnEmptySentenceDictation()
    {
        CourseFixture course;
        Session s(course);
        s.form.show();
        QVERIFY(QTest::qWaitForWindowActive(&s.form));
        TSenWritePage& sen = *s.form.Exercises().SenWrite();
        s.form.pcMain->setCurrentWidget(s.form.tsTest);
        s.form.pcTest->setCurrentWidget(s.form.tsSenWrite);
        sen.btnSenStart->click();
        QVERIFY(!sen.nsmSubject[0]->Answer().isEmpty());

        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        PageOf<TSenPage>(s.form.tsSen)->btnSenTest->click();
        QCOMPARE(s.form.pcTest->currentWidget(), s.form.tsSenWrite);
        QCOMPARE(s.form.FPageDataSet, &s.dm.adsQorSen);
        QCOMPARE(sen.lblSenSubject[0]->text(), QStringLiteral("句子"));
        QVERIFY(sen.nsmSubject[0]->Answer().isEmpty());

        // Entering a memo plays its 800 ms sentence on the lesson audio,
        // and its end brings nothing after it.
        s.form.Exercises().Random().Seed(1);
        sen.btnSenStart->click();
        QSignalSpy ends(&s.form.Audio(), &LessonAudio::speakDone);
        QTest::mouseClick(sen.nsmSubject[1], Qt::LeftButton);
        QVERIFY(sen.nsmSubject[1]->hasFocus());
        QVERIFY(s.form.Audio().isPlaying());
        QVERIFY(PumpUntil([&] { return !s.form.Audio().isPlaying(); }, 5000));
        PumpFor(200);
        QVERIFY(ends.isEmpty());
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void missingWordRecordings()
    {
        CourseFixture course;  // its words have no recordings
        Session s(course);
        s.form.pcMain->setCurrentWidget(s.form.tsTest);
        TWordWritePage& write = *s.form.Exercises().WordWrite();
        write.btnStart->click();
        write.DictationSpeakButtons[0]->click();
        QCOMPARE(m_errorBoxes, QStringList{QStringLiteral("文件不存在！")});
        QCOMPARE(write.DictationEdits[0]->Answer(), QStringLiteral("word1"));

        // The selection stays silent.
        m_errorBoxes.clear();
        s.form.pcTest->setCurrentWidget(s.form.tsWordSelect);
        TWordSelectPage& select = *s.form.Exercises().WordSelect();
        select.btnBegin->click();
        select.sbWordSpeak[0]->click();
        QVERIFY(m_errorBoxes.isEmpty());
    }

private:
    RecordingMessages m_messages;
    QStringList m_errorBoxes;
};

VELTRA_APP_TEST_MAIN(ExerciseWindowTest)
#include "ExerciseWindowTest.moc"
