#pragma once

#include "app/SenPage.h"
#include "app/WordPage.h"
#include "audio/Container.h"
#include "audio/FollowReading.h"
#include "audio/ReadingFakes.h"
#include "audio/SentenceReading.h"
#include "audio/WordReading.h"
#include "audio/WordSpeaker.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QtTest>
#include <QTemporaryDir>

#include <memory>

// The two study pages in a page control of five, on datasets filled by hand,
// with the audio, timers and players replaced by the logging fakes.
struct PageFixture {
    PageFixture()
        : audio(log), wordPlayer(log), recorder(log), speaker(wordPlayer, dataDir.path()),
          sentenceReading(sentences, audio, senTimer, [this] { return speakCount; }),
          wordReading(words, speaker, wordTimer, [] { return 1; }),
          senFollow(recorder, QStringLiteral("tmpwav.wav")), wordFollow(recorder, QStringLiteral("tmpwav.wav"))
    {
        pcMain.resize(622, 375);
        for (const char* name : {"tsWord", "tsExplain", "tsSen", "tsTest", "tsNote"}) {
            auto* page = new QWidget(&pcMain);
            page->setObjectName(QLatin1String(name));
            pcMain.addTab(page, QLatin1String(name));
        }
        tsWord = pcMain.widget(0);
        tsSen = pcMain.widget(2);
        FillSentences(sentences, {{1, "Good morning.", 0, 900},
                                  {2, "It's nine o'clock.", 900, 2100},
                                  {3, "There is the clock.", 2100, 3300},
                                  {4, "Where is he?", 3300, 4000}});
        FillWords(words, {11, 12});
        sen = std::make_unique<TSenPage>(
            tsSen, TSenPage::Links{sentences, sentenceReading, senFollow, [this] { log.calls << "open senwrite"; },
                                   [this] { log.calls << "open explain"; },
                                   [this] { log.calls << "edit sentence time"; }});
        word = std::make_unique<TWordPage>(
            tsWord, TWordPage::Links{words, sentences, wordReading, speaker, wordFollow,
                                     [this] { log.calls << "open wordwrite"; },
                                     [this] { pcMain.setCurrentWidget(tsSen); },
                                     [this](int ms) { log.calls << QStringLiteral("wait %1").arg(ms); }});
        pcMain.show();
        pcMain.activateWindow();
        windowActive = QTest::qWaitForWindowActive(&pcMain);
    }
    ~PageFixture()
    {
        // The pages go first: the controllers they call outlive them.
        sen.reset();
        word.reset();
    }

    QTemporaryDir dataDir;
    CallLog log;
    TLessonDataSet sentences;
    TLessonDataSet words;
    FakeSentenceAudio audio;
    FakeTimer senTimer;
    FakeTimer wordTimer;
    FakeWordPlayer wordPlayer;
    FakeRecorder recorder;
    WordSpeaker speaker;
    SentenceReading sentenceReading;
    WordReading wordReading;
    FollowReading senFollow;
    FollowReading wordFollow;
    int speakCount = 3;
    bool windowActive = false;
    QTabWidget pcMain;
    QWidget* tsWord = nullptr;
    QWidget* tsSen = nullptr;
    std::unique_ptr<TSenPage> sen;
    std::unique_ptr<TWordPage> word;
};
