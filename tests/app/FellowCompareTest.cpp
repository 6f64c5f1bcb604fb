// The window "跟读对比图": on its own with takes handed to it and a recording
// playback, and on the main window with takes recorded through the real
// recorder (SDL's disk driver feeds the capture device espeak-ng speech).
#include "AppTestSupport.h"
#include "controls/EventPump.h"

#include "analysis/PitchTrack.h"
#include "analysis/TakeComparison.h"
#include "app/ComparePlayback.h"
#include "app/FellowCompareFrm.h"
#include "app/SenPage.h"
#include "app/StudyReading.h"
#include "app/WordPage.h"
#include "audio/FinishedTake.h"
#include "audio/LessonAudio.h"
#include "controls/VoiceComparePlot.h"
#include "controls/kznMediaPlayer.h"
#include "speech/SpeechDecoder.h"
#include "support/MakeMp3.h"
#include "support/VoiceSamples.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>

namespace {

const QString kSentence = QStringLiteral("Good morning, my friend.");

class RecordedPlayback final : public ComparePlayback {
public:
    QString PlayModelFrom(const TakeModel& model, double seconds) override
    {
        calls << QStringLiteral("model %1 from %2").arg(model.text).arg(seconds, 0, 'f', 2);
        return refusal;
    }
    QString PlayTakeFrom(double seconds) override
    {
        calls << QStringLiteral("take from %1").arg(seconds, 0, 'f', 2);
        return refusal;
    }
    QString PlayModelThenTake(const TakeModel& model) override
    {
        calls << QStringLiteral("model then take ") + model.text;
        return refusal;
    }
    QString PlayStretches(const TakeModel& model, double modelFrom, double modelTo, double takeFrom,
                          double takeTo) override
    {
        calls << QStringLiteral("model %1 %2-%3 then take %4-%5")
                     .arg(model.text)
                     .arg(modelFrom, 0, 'f', 2)
                     .arg(modelTo, 0, 'f', 2)
                     .arg(takeFrom, 0, 'f', 2)
                     .arg(takeTo, 0, 'f', 2);
        return refusal;
    }
    QStringList calls;
    QString refusal;
};

QByteArray Mp3Of(const PcmAudio& audio)
{
    std::vector<int16_t> pcm;
    for (float s : audio.samples)
        pcm.push_back(int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)));
    return EncodeMp3(pcm, audio.channels, audio.sampleRate, 64);
}

TakeModel SentenceModel(const PcmAudio& spoken)
{
    TakeModel model;
    model.text = kSentence;
    model.lessonMp3 = Mp3Of(spoken);
    model.beginMs = 0;
    model.endMs = int(spoken.Frames() * 1000 / spoken.sampleRate);
    return model;
}

TakeModel WordModel(const PcmAudio& spoken)
{
    TakeModel model;
    model.kind = TakeModel::Kind::Word;
    model.text = QStringLiteral("morning");
    model.wordAudio = spoken;
    return model;
}

} // namespace

class FellowCompareTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        const auto spoken = SynthesisedSpeech(kSentence, error);
        const auto word = SynthesisedSpeech(QStringLiteral("morning"), error);
        if (!spoken || !word)
            QSKIP(qPrintable(error));
        m_spoken = *spoken;
        m_word = *word;
        // What the capture device hears: the sentence, then a little silence.
        QVERIFY(m_capture.isValid());
        QFile raw(m_capture.filePath(QStringLiteral("capture.raw")));
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write(reinterpret_cast<const char*>(m_spoken.samples.data()), qint64(m_spoken.samples.size() * sizeof(float)));
        raw.close();
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(raw.fileName()));
        qputenv("SDL_DISKAUDIOFILE", "/dev/null");
        qputenv("SDL_DISKAUDIODELAY", "1");
    }
    void init() { CaptureBoxes(m_messages, m_errorBoxes); }
    void cleanup() { ReleaseBoxes(); }

    void followsEachNewTakeWhetherSentenceOrWord()
    {
        LastTake takes;
        auto* playback = new RecordedPlayback;
        TFellowCompareFrm window(takes, std::unique_ptr<ComparePlayback>(playback));
        window.show();
        QCOMPARE(window.plot->Placeholder(), QStringLiteral("还没有跟读录音。"));
        QVERIFY(!window.plot->Comparison());
        QVERIFY(!window.btnPlayBoth->isEnabled() && !window.btnSave->isEnabled());

        takes.TakeStarted(SentenceModel(m_spoken));
        takes.TakeEnded(Stretched(m_spoken, 1.2));
        QVERIFY(!window.plot->Comparison());  // analysed off the GUI thread
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 1; }));
        QCOMPARE(window.lblModel->text(), QStringLiteral("句子：") + kSentence);
        const TakeComparison* sentence = window.plot->Comparison();
        QVERIFY(sentence);
        QCOMPARE(int(sentence->words.size()), 4);
        QCOMPARE(sentence->words.back().text, QStringLiteral("friend"));
        QVERIFY(std::fabs(sentence->TakeSeconds() / sentence->ModelSeconds() - 1.2) < 0.05);
        QVERIFY(window.lblWarning->isHidden());
        QVERIFY(window.btnPlayBoth->isEnabled());

        // The next take replaces it by itself.
        takes.TakeStarted(WordModel(m_word));
        takes.TakeEnded(PitchShifted(m_word, 3.0));
        QCOMPARE(window.ShownSerial(), 0);
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 2; }));
        QCOMPARE(window.lblModel->text(), QStringLiteral("单词：morning"));
        QCOMPARE(int(window.plot->Comparison()->words.size()), 1);
        // A word take is checked as its one word.
        if (SpeechDecoder::ModelInstalled())
            QCOMPARE(window.lblWords->text().count(QStringLiteral("</a>")), 1);
        QVERIFY(SemitonesBetween(window.plot->Comparison()->modelMedianHz, window.plot->Comparison()->takeMedianHz) > 2.0);
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void saysWhenTheTakeIsTooQuietOrClipped_data()
    {
        QTest::addColumn<float>("gain");
        QTest::addColumn<QString>("said");
        QTest::newRow("fine") << 1.0f << QString();
        QTest::newRow("too quiet") << 0.02f << QStringLiteral("录音太轻");
        QTest::newRow("clipped") << 12.0f << QStringLiteral("录音太响");
        QTest::newRow("silent") << 0.0f << QStringLiteral("没有录到声音");
    }
    void saysWhenTheTakeIsTooQuietOrClipped()
    {
        QFETCH(float, gain);
        QFETCH(QString, said);
        LastTake takes;
        TFellowCompareFrm window(takes, std::make_unique<RecordedPlayback>());
        window.show();
        takes.TakeStarted(WordModel(m_word));
        takes.TakeEnded(Scaled(m_word, gain));
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 1; }));
        QCOMPARE(window.lblWarning->isVisible(), !said.isEmpty());
        QVERIFY2(window.lblWarning->text().contains(said), qPrintable(window.lblWarning->text()));
        // The plots stay: the learner sees why.
        QVERIFY(window.plot->Comparison());
    }

    void playsFromAClickAndBothWithSpace()
    {
        LastTake takes;
        auto* playback = new RecordedPlayback;
        TFellowCompareFrm window(takes, std::unique_ptr<ComparePlayback>(playback));
        window.resize(800, 560);
        window.show();
        takes.TakeStarted(SentenceModel(m_spoken));
        takes.TakeEnded(Stretched(m_spoken, 1.5));
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 1; }));
        TVoiceComparePlot* plot = window.plot;
        const TakeComparison& c = *plot->Comparison();

        const QRect model = plot->RowRect(TVoiceComparePlot::Row::Model);
        const int x = model.left() + model.width() / 2;
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(x, model.center().y()));
        const QRect take = plot->RowRect(TVoiceComparePlot::Row::Take);
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(x, take.center().y()));
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(x, plot->RowRect(TVoiceComparePlot::Row::Pitch).center().y()));
        QTest::keyClick(plot, Qt::Key_Space);
        QCOMPARE(playback->calls,
                 (QStringList{QStringLiteral("model %1 from %2").arg(kSentence).arg(plot->SecondsAt(x), 0, 'f', 2),
                              QStringLiteral("take from %1").arg(c.TakeSecondsAt(plot->SecondsAt(x)), 0, 'f', 2),
                              QStringLiteral("model then take ") + kSentence}));
        // The take is half as long again as the model, all through.
        QVERIFY(std::fabs(c.TakeSecondsAt(plot->SecondsAt(x)) - 1.5 * plot->SecondsAt(x)) < 0.05);

        // What stops the players from playing is said in the window.
        playback->refusal = QStringLiteral("正在跟读录音，录完再听。");
        window.btnPlayBoth->click();
        QCOMPARE(window.lblStatus->text(), playback->refusal);
    }

    void showsWhichWordsToPractiseAndPlaysOneFromBoth()
    {
        if (!SpeechDecoder::ModelInstalled())
            QSKIP("the speech model is not installed");
        QString error;
        const auto night = SynthesisedSpeech(QStringLiteral("Good night, my friend."), error);
        QVERIFY2(night, qPrintable(error));
        LastTake takes;
        auto* playback = new RecordedPlayback;
        TFellowCompareFrm window(takes, std::unique_ptr<ComparePlayback>(playback));
        window.show();
        takes.TakeStarted(SentenceModel(m_spoken));
        takes.TakeEnded(Stretched(m_spoken, 1.2));
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 1; }));
        QVERIFY(window.lblWords->isVisible());
        QVERIFY(window.lblWords->text().contains(QStringLiteral(">friend</a>")));
        QCOMPARE(window.lblUnclear->text(), QStringLiteral("读得很好！"));

        takes.TakeStarted(SentenceModel(m_spoken));
        takes.TakeEnded(*night);
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 2; }));
        QVERIFY2(window.lblUnclear->text().startsWith(QStringLiteral("读得不清楚的词：")), qPrintable(window.lblUnclear->text()));
        QVERIFY2(window.lblUnclear->text().contains(QStringLiteral("morning（漏读）")), qPrintable(window.lblUnclear->text()));
        QVERIFY(!window.lblUnclear->text().contains(QStringLiteral("friend")));

        // A word clicked plays from the model, then from the take, each
        // where that word lies in it.
        emit window.lblWords->linkActivated(QStringLiteral("3"));
        QCOMPARE(playback->calls.size(), 1);
        const QStringList call = playback->calls.front().split(QLatin1Char(' '));
        QVERIFY2(playback->calls.front().startsWith(QStringLiteral("model %1 ").arg(kSentence)), qPrintable(call.join(' ')));
        const QStringList modelSpan = call[call.size() - 4].split(QLatin1Char('-'));
        const QStringList takeSpan = call.back().split(QLatin1Char('-'));
        const double modelSeconds = window.plot->Comparison()->ModelSeconds();
        QVERIFY(modelSpan[0].toDouble() > modelSeconds / 2 && modelSpan[1].toDouble() <= modelSeconds + 0.01);
        QVERIFY(takeSpan[0].toDouble() > 0.5 && takeSpan[1].toDouble() > takeSpan[0].toDouble());

        // A take just like its model's voice, but both read another sentence:
        // no stretch differs, yet words are flagged, and the lines agree.
        const auto hello = SynthesisedSpeech(QStringLiteral("Hello, my friend."), error);
        QVERIFY2(hello, qPrintable(error));
        takes.TakeStarted(SentenceModel(*hello));
        takes.TakeEnded(Stretched(*hello, 1.2));
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 3; }));
        QVERIFY2(window.lblUnclear->text().contains(QStringLiteral("morning（漏读）")), qPrintable(window.lblUnclear->text()));
        QCOMPARE(window.lblPartings->text(), QStringLiteral("除了上面这些词，没有找到明显不同的地方。"));
    }

    void savesThePictureAsPng()
    {
        LastTake takes;
        TFellowCompareFrm window(takes, std::make_unique<RecordedPlayback>());
        window.show();
        takes.TakeStarted(WordModel(m_word));
        takes.TakeEnded(m_word);
        QVERIFY(PumpUntil([&] { return window.ShownSerial() == 1; }));
        QTemporaryDir dir;
        QString suggested;
        window.SetFileChooser([&](QWidget*, const QString& s) {
            suggested = s;
            return dir.filePath(QStringLiteral("morning"));
        });
        window.btnSave->click();
        QVERIFY(suggested.endsWith(QStringLiteral("跟读对比.png")));
        const QImage saved(dir.filePath(QStringLiteral("morning.png")));
        QCOMPARE(saved.size(), window.pnlPicture->size() * window.pnlPicture->devicePixelRatioF());
        QVERIFY(window.lblStatus->text().contains(QStringLiteral("morning.png")));

        // Cancelled, and a folder that cannot be written.
        window.SetFileChooser([](QWidget*, const QString&) { return QString(); });
        window.btnSave->click();
        window.SetFileChooser([&](QWidget*, const QString&) { return dir.filePath(QStringLiteral("none/x.png")); });
        window.btnSave->click();
        QCOMPARE(int(m_messages.entries.size()), 1);
        QVERIFY(m_messages.entries[0].text.contains(QStringLiteral("图片没能保存")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("morning.png")});
    }

    void mainWindowShowsTakesRecordedOnBothPagesAndPlaysThem()
    {
        CourseFixture course;
        QFile wordFile(course.DataDir() + QStringLiteral("qor1/1.qow"));
        QVERIFY(wordFile.open(QIODevice::WriteOnly));
        wordFile.write(PackContainer(WavBytes(m_word)));
        wordFile.close();
        Session s(course);
        s.form.show();

        QAction* menuItem = s.form.findChild<QAction*>(QStringLiteral("miCompare"));
        QVERIFY(menuItem);
        QCOMPARE(menuItem->text(), QStringLiteral("跟读对比图"));
        menuItem->trigger();
        auto* window = s.form.findChild<TFellowCompareFrm*>();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->plot->Placeholder(), QStringLiteral("还没有跟读录音。"));

        // A sentence take, recorded until the whole sentence has been heard.
        s.form.pcMain->setCurrentWidget(s.form.tsSen);
        TSenPage* sen = PageOf<TSenPage>(s.form.tsSen);
        const int64_t spokenMs = m_spoken.Frames() * 1000 / m_spoken.sampleRate;
        sen->btnSenFellow->click();
        QVERIFY(PumpUntil([&] { return s.form.mpFellow->Position() >= spokenMs + 200; }));
        sen->btnSenFellow->click();
        QVERIFY(PumpUntil([&] { return window->ShownSerial() == 1; }));
        QCOMPARE(window->lblModel->text(), QStringLiteral("句子：Sentence 1."));
        const TakeComparison* c = window->plot->Comparison();
        QVERIFY(c && std::fabs(c->ModelSeconds() - 0.8) < 0.01);  // the row's span, 0..800 ms
        QVERIFY(c->TakeSeconds() >= spokenMs / 1000.0);

        // Heard from a click: the model through the lesson audio, the take through the recorder.
        QSignalSpy spans(&s.form.Audio(), &LessonAudio::spanStarted);
        const QRect model = window->plot->RowRect(TVoiceComparePlot::Row::Model);
        const int x = model.left() + model.width() / 4;
        QTest::mouseClick(window->plot, Qt::LeftButton, {}, QPoint(x, model.center().y()));
        QCOMPARE(spans.count(), 1);
        QCOMPARE(spans[0][0].toInt(), int(std::lround(window->plot->SecondsAt(x) * 1000)));
        QCOMPARE(spans[0][1].toInt(), 800);
        int takeEnds = 0;
        int wordEnds = 0;
        auto countEnds = [](int& ends) {
            return [&ends](TkznMediaPlayer* p) { ends += p->NotifyResult() == TMPNotifyResult::nvSuccessful; };
        };
        connect(s.form.mpFellow, &TkznMediaPlayer::OnNotify, window, countEnds(takeEnds));
        connect(s.form.mpWord, &TkznMediaPlayer::OnNotify, window, countEnds(wordEnds));
        const QRect take = window->plot->RowRect(TVoiceComparePlot::Row::Take);
        QTest::mouseClick(window->plot, Qt::LeftButton, {}, QPoint(x, take.center().y()));
        const int64_t fromMs = std::llround(c->TakeSecondsAt(window->plot->SecondsAt(x)) * 1000);
        QVERIFY(s.form.mpFellow->Position() >= fromMs - 20);
        QVERIFY(PumpUntil([&] { return takeEnds == 1; }));

        // A word take; while it records, the window does not play.
        s.form.pcMain->setCurrentWidget(s.form.tsWord);
        TWordPage* wordPage = PageOf<TWordPage>(s.form.tsWord);
        wordPage->btnWordFellow->click();
        QTest::keyClick(window->plot, Qt::Key_Space);
        QCOMPARE(window->lblStatus->text(), QStringLiteral("正在跟读录音，录完再听。"));
        QVERIFY(PumpUntil([&] { return s.form.mpFellow->Position() >= 500; }));
        wordPage->btnWordFellow->click();
        QVERIFY(PumpUntil([&] { return window->ShownSerial() == 2; }));
        QCOMPARE(window->lblModel->text(), QStringLiteral("单词：word1"));
        QVERIFY(std::fabs(window->plot->Comparison()->ModelSeconds() - double(m_word.Frames()) / m_word.sampleRate) < 0.01);
        s.form.mpFellow->Stop();
        // Space: the model word, then the take.
        takeEnds = 0;
        QTest::keyClick(window->plot, Qt::Key_Space);
        QVERIFY(PumpUntil([&] { return wordEnds == 1 && takeEnds == 1; }));
        QVERIFY(m_errorBoxes.isEmpty());
        s.form.close();
    }

private:
    PcmAudio m_spoken;
    PcmAudio m_word;
    QTemporaryDir m_capture;
    RecordingMessages m_messages;
    QStringList m_errorBoxes;
};

VELTRA_APP_TEST_MAIN(FellowCompareTest)
#include "FellowCompareTest.moc"
