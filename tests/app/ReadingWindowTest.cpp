// The text and word pages on the main window, with the real lesson audio,
// timers and players on a small course (SDL's dummy audio driver).
#include "AppTestSupport.h"
#include "audio/TempFolder.h"
#include "controls/EventPump.h"
#include "controls/WavFixtures.h"

#include "app/ExplainPage.h"
#include "app/SenPage.h"
#include "app/WordPage.h"
#include "audio/LessonAudio.h"
#include "controls/PlainToolTip.h"
#include "controls/kznMediaPlayer.h"
#include "controls/kznThreadTimer.h"

#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolTip>

namespace {

QStringList TempWavs()
{
    return QDir(ProgramTempFolder()).entryList({QStringLiteral("tmp*.wav")}, QDir::Files);
}

// A recording for the word of lesson 1 (FID 1), so a word take can start.
void AddFirstWordRecording(const CourseFixture& course, const QString& scratch)
{
    const QString wav = QDir(scratch).filePath(QStringLiteral("word.wav"));
    QVERIFY(WriteWav(wav, SF_FORMAT_PCM_16, 1, 22050, Tone(4410, 1, 22050)));
    QFile container(course.DataDir() + QStringLiteral("qor1/1.qow"));
    QVERIFY(container.open(QIODevice::WriteOnly));
    container.write(PackContainer(ReadAll(wav)));
}

}  // namespace

class ReadingWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_tmp.isValid());
        m_oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", m_tmp.path().toUtf8());
        CaptureBoxes(m_messages, m_errorBoxes);
    }
    void cleanup()
    {
        ReleaseBoxes();
        qputenv("TMPDIR", m_oldTmp);
    }

    void navigationButtonsLandOnTheirPages()
    {
        CourseFixture course;
        Session s(course);
        TSenPage* sen = PageOf<TSenPage>(s.form.tsSen);
        TWordPage* word = PageOf<TWordPage>(s.form.tsWord);
        QVERIFY(sen && word);

        s.form.pcMain->setCurrentWidget(s.form.tsTest);
        s.form.pcTest->setCurrentWidget(s.form.tsWordSelect);
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        sen->btnSenTest->click();
        QCOMPARE(s.form.pcMain->currentWidget(), s.form.tsTest);
        QCOMPARE(s.form.pcTest->currentWidget(), s.form.tsSenWrite);

        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        sen->btnNote->click();
        QCOMPARE(s.form.pcMain->currentWidget(), static_cast<QWidget*>(s.form.tsExplain));

        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        word->btnWordTest->click();
        QCOMPARE(s.form.pcMain->currentWidget(), s.form.tsTest);
        QCOMPARE(s.form.pcTest->currentWidget(), s.form.tsWordWrite);
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void continuousReadingRunsWrapsAndStopsOnLeavingThePage()
    {
        CourseFixture course;
        course.SetOption(QStringLiteral("NextTime"), QStringLiteral("0"));
        course.SetOption(QStringLiteral("SpeakCount"), QStringLiteral("1"));
        Session s(course);
        s.form.show();  // leaving a page is its hiding
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        TSenPage* sen = PageOf<TSenPage>(s.form.tsSen);
        TLessonDataSet& sentences = s.dm.adsQorSen;
        QCOMPARE(sentences.RecordCount(), 2);
        QList<int> rows;
        connect(&sentences, &TLessonDataSet::CurrentRowChanged, sen, [&](int row) { rows << row; });

        sen->btnSenSpeakRuning->click();
        QCOMPARE(sen->btnSenSpeakRuning->text(), QStringLiteral("停止朗读"));
        // Each sentence is 800 ms and the pause 100 ms: row 0, row 1, row 0 again.
        QVERIFY(PumpUntil([&] { return rows.size() >= 2; }, 15000));
        QCOMPARE(rows.mid(0, 2), (QList<int>{1, 0}));

        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        QCOMPARE(sen->btnSenSpeakRuning->text(), QStringLiteral("连续朗读"));
        QVERIFY(!s.form.ttSen->Active());
        QVERIFY(!s.form.Audio().isPlaying());
        // An end that was already on its way re-arms nothing.
        s.form.SpeakDone(1);
        QVERIFY(!s.form.ttSen->Active());
        const int stoppedAt = sentences.RecNo();
        PumpFor(300);
        QCOMPARE(sentences.RecNo(), stoppedAt);
        QVERIFY(m_errorBoxes.isEmpty());
    }

    // A lesson change during a pause: the page keeps "停止朗读" and the next
    // step reads on in the new lesson's rows.
    void continuousReadingGoesOnInTheNextLesson()
    {
        CourseFixture course;
        course.SetOption(QStringLiteral("NextTime"), QStringLiteral("1"));
        course.SetOption(QStringLiteral("SpeakCount"), QStringLiteral("1"));
        Session s(course);
        s.form.show();
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        TSenPage* sen = PageOf<TSenPage>(s.form.tsSen);
        sen->btnSenSpeakRuning->click();
        // The first sentence ends; the pause of one second begins.
        QVERIFY(PumpUntil([&] { return s.form.ttSen->Active(); }, 10000));
        s.form.NextLesson();
        QCOMPARE(s.dm.CurContentID, 2);
        QCOMPARE(sen->btnSenSpeakRuning->text(), QStringLiteral("停止朗读"));
        QVERIFY(PumpUntil([&] { return s.form.Audio().isPlaying(); }, 10000));
        QCOMPARE(s.dm.adsQorSen.FieldValue(QStringLiteral("FID")).toInt(), 4);  // lesson 2's second row
        QCOMPARE(sen->btnSenSpeakRuning->text(), QStringLiteral("停止朗读"));
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void comparePlaysTheTakeOnlyAfterTheModelSentence()
    {
        CourseFixture course;
        Session s(course);
        s.form.show();
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        TSenPage* sen = PageOf<TSenPage>(s.form.tsSen);
        sen->btnSenFellow->click();
        PumpFor(200);
        sen->btnSenFellow->click();  // plays the take back at once
        QCOMPARE(s.form.mpFellow->Mode(), TMPModes::mpPlaying);
        s.form.mpFellow->Stop();
        int takeEnds = 0;
        connect(s.form.mpFellow, &TkznMediaPlayer::OnNotify, sen, [&](TkznMediaPlayer* p) {
            if (p->NotifyResult() == TMPNotifyResult::nvSuccessful)
                ++takeEnds;
        });

        // Another sentence before the model's end takes the end over: no take.
        sen->btnFellowPlay->click();
        sen->btnSpeakSen->click();
        PumpFor(1500);
        QCOMPARE(takeEnds, 0);

        // Undisturbed, the take follows the 800 ms model sentence.
        sen->btnFellowPlay->click();
        QVERIFY(s.form.Audio().isPlaying());
        QVERIFY(s.form.mpFellow->Mode() != TMPModes::mpPlaying);
        QVERIFY(PumpUntil([&] { return takeEnds == 1; }, 5000));
        QVERIFY(!s.form.Audio().isPlaying());
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void missingWordsReachTheErrorBoxOnce()
    {
        CourseFixture course;  // its words have no recordings
        Session s(course);
        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        TWordPage* word = PageOf<TWordPage>(s.form.tsWord);

        word->btnWordSpeak->click();
        QCOMPARE(m_errorBoxes, QStringList{QStringLiteral("文件不存在！")});
        QVERIFY(TempWavs().isEmpty());

        // A take without its model word does not start.
        m_errorBoxes.clear();
        word->btnWordFellow->click();
        QCOMPARE(m_errorBoxes, QStringList{QStringLiteral("文件不存在！")});
        QCOMPARE(word->btnWordFellow->text(), QStringLiteral("单词跟读"));
        QVERIFY(word->btnWordSpeak->isEnabled());

        // Inside a timer step the failure halts the reading silently.
        m_errorBoxes.clear();
        word->btnWordSpeakRuning->click();
        QCOMPARE(m_errorBoxes.size(), 1);
        QCOMPARE(word->btnWordSpeakRuning->text(), QStringLiteral("连续朗读"));
    }

    void closingDuringATakeIsSilent_data()
    {
        QTest::addColumn<bool>("textPage");
        QTest::newRow("text page") << true;
        QTest::newRow("word page") << false;
    }
    void closingDuringATakeIsSilent()
    {
        QFETCH(bool, textPage);
        CourseFixture course;
        AddFirstWordRecording(course, m_tmp.path());
        Session s(course);
        s.form.show();
        QPushButton* take = nullptr;
        if (textPage) {
            s.form.pcMain->setCurrentWidget(s.form.tsSen);
            take = PageOf<TSenPage>(s.form.tsSen)->btnSenFellow;
        } else {
            s.form.pcMain->setCurrentWidget(s.form.tsWord);
            take = PageOf<TWordPage>(s.form.tsWord)->btnWordFellow;
        }
        take->click();
        QCOMPARE(take->text(), QStringLiteral("停止跟读"));
        QCOMPARE(s.form.mpFellow->Mode(), TMPModes::mpRecording);
        QVERIFY(s.form.close());
        PumpFor(100);
        QVERIFY2(m_errorBoxes.isEmpty(), qPrintable(m_errorBoxes.join(u'|')));
        QVERIFY(m_messages.entries.empty());
        QVERIFY(!s.form.mpFellow->Opened());
    }

    void cutOffTranslationShowsAsTooltipWithoutHints()
    {
        CourseFixture course;
        course.SetOption(QStringLiteral("TestHint"), QStringLiteral("0"));
        const QString translation =
            QStringLiteral("这是一句很长很长的中文翻译，长得在课文表格的中文栏里根本放不下，只能在提示里读完。");
        course.Execute(QStringLiteral("Update tblQor1 Set FChinese=? Where FID=1"), {Enciphered(translation)});
        Session s(course);
        s.form.show();
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        QTableView* grid = PageOf<TSenPage>(s.form.tsSen)->grdSen;
        const QPoint at =
            grid->visualRect(grid->model()->index(0, s.dm.adsQorSen.FieldIndex(QStringLiteral("FChinese")))).center();
        QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &help);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), PlainToolTip(translation));
        QToolTip::hideText();
    }

    void relatedSentenceShowsTheTextPage()
    {
        CourseFixture course;
        Session s(course);
        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        TWordPage* word = PageOf<TWordPage>(s.form.tsWord);
        // "word1" is in no sentence; the word page stays in front.
        word->btnSenInLesson->click();
        QCOMPARE(s.form.pcMain->currentWidget(), s.form.tsWord);
        QCOMPARE(s.form.FPageDataSet, &s.dm.adsQorWord);
    }

private:
    QTemporaryDir m_tmp;
    QByteArray m_oldTmp;
    RecordingMessages m_messages;
    QStringList m_errorBoxes;
};

VELTRA_APP_TEST_MAIN(ReadingWindowTest)
#include "ReadingWindowTest.moc"
