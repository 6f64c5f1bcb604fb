#include "FocusOrder.h"

#include "app/MainGlyphs.h"
#include "app/SenWritePage.h"
#include "app/WordSelectPage.h"
#include "app/WordWritePage.h"
#include "app/WrapRadioButton.h"
#include "audio/ReadingFakes.h"
#include "controls/PlainToolTip.h"
#include "controls/QorSenMemo.h"
#include "controls/QorWordSelectLabel.h"
#include "controls/kznLabelEdit.h"
#include "data/LessonDataSet.h"
#include "support/ScriptedRandom.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

struct WordRow {
    int id;
    const char* english;
    const char* chinese;
};

void FillWordRows(TLessonDataSet& set, const QList<WordRow>& rows)
{
    RowSet rs;
    rs.fields = {QStringLiteral("FID"), QStringLiteral("FBook"), QStringLiteral("FEnglish"), QStringLiteral("FChinese")};
    for (const WordRow& r : rows)
        rs.rows.push_back({r.id, 1, QString::fromUtf8(r.english), QString::fromUtf8(r.chinese)});
    set.Assign(rs);
}

struct SenRow {
    const char* english;
    const char* chinese;
    int begin;
    int end;
};

void FillSenRows(TLessonDataSet& set, const QList<SenRow>& rows)
{
    RowSet rs;
    rs.fields = {QStringLiteral("FID"), QStringLiteral("FEnglish"), QStringLiteral("FChinese"),
                 QStringLiteral("FBeginPos"), QStringLiteral("FEndPos")};
    int id = 0;
    for (const SenRow& r : rows)
        rs.rows.push_back({++id, QString::fromUtf8(r.english), QString::fromUtf8(r.chinese), r.begin, r.end});
    set.Assign(rs);
}

// The three exercise pages in a page control of their own, on datasets filled
// by hand, with a scripted random source and the players logging.
struct ExerciseFixture {
    ExerciseFixture()
    {
        pcTest.resize(593, 323);
        for (const char* name : {"tsWordWrite", "tsWordSelect", "tsSenWrite"}) {
            auto* page = new QWidget(&pcTest);
            page->setObjectName(QLatin1String(name));
            pcTest.addTab(page, QLatin1String(name));
        }
        const QString dataDirPath = dataDir.path() + u'/';
        auto playWord = [this, dataDirPath](const QString& path) {
            log.calls << QStringLiteral("word ") + QString(path).remove(dataDirPath);
        };
        FillWordRows(words, {{1, "Apple", "苹果"}, {2, "o'clock", "……点钟"}, {3, "post office", "邮局"}});
        FillSenRows(sentences, {{"Good morning.", "早上好。", 500, 1400},
                                {"It's nine o'clock.", "九点了。", 1800, 2900},
                                {"Where is my pen?", "我的钢笔在哪里？", 3300, 4700}});
        wordWrite = new TWordWritePage(pcTest.widget(0), {words, random, glyphs, playWord, dataDirPath});
        wordSelect = new TWordSelectPage(pcTest.widget(1), {words, random, glyphs, playWord, dataDirPath});
        senWrite = new TSenWritePage(pcTest.widget(2),
                                     {sentences, random, glyphs,
                                      [this](int b, int e) { log.calls << QStringLiteral("play %1-%2").arg(b).arg(e); },
                                      [this] { return hints; }});
        QDir(dataDir.path()).mkdir(QStringLiteral("qor1"));
        pcTest.show();
        pcTest.activateWindow();
        windowActive = QTest::qWaitForWindowActive(&pcTest);
    }

    void AddWordContainer(int id)
    {
        QFile file(dataDir.filePath(QStringLiteral("qor1/%1.qow").arg(id)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    // Which glyph `button` shows: -1 for none, else its index in the image list.
    int Glyph(const QToolButton* button) const
    {
        if (button->icon().isNull())
            return -1;
        const QImage shown = button->icon().pixmap(TMainGlyphs::kSize).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int i = 0; i < TMainGlyphs::kCount; ++i) {
            if (glyphs.Pixmap(i).toImage().convertToFormat(QImage::Format_ARGB32) == shown)
                return i;
        }
        return -2;
    }

    QTemporaryDir dataDir;
    CallLog log;
    TLessonDataSet words;
    TLessonDataSet sentences;
    ScriptedRandom random;
    TMainGlyphs glyphs;
    bool hints = true;
    bool windowActive = false;
    QTabWidget pcTest;
    TWordWritePage* wordWrite = nullptr;
    TWordSelectPage* wordSelect = nullptr;
    TSenWritePage* senWrite = nullptr;
};

constexpr int None = -1;
constexpr int Speaker = TMainGlyphs::Speaker;
constexpr int Tick = TMainGlyphs::Tick;
constexpr int Cross = TMainGlyphs::Cross;

} // namespace

class ExercisePagesTest : public QObject {
    Q_OBJECT
private slots:
    void wordDictationLayout();
    void wordDictationDrawsSpeaksAndMarks();
    void enterMovesOnAndSpeaksTheNextWord();
    void wordDictationClearsOnlyWhenAnotherExerciseComesToFront();
    void wordDictationOnAnEmptyLesson();
    void wordSelectionLayout();
    void wordSelectionDrawsAndMarks();
    void wordSelectionSmallLessons();
    void wordSelectionSpeaksOnlyExistingWords();
    void wordSelectionClearingKeepsTheSelection();
    void sentenceDictationLayout();
    void sentenceDictationPlaysOnEntry();
    void sentenceDictationMarksAndShowsMissedWords();
    void typingNextToARedWordIsInTheNormalColour();
    void markingALongAnswerShowsTheAddedLine();
    void sentenceHintShowsTheSentenceWhileThePointerRests();
    void sentenceDictationClearing();
};

void ExercisePagesTest::wordDictationLayout()
{
    ExerciseFixture f;
    TWordWritePage& p = *f.wordWrite;
    QList<QWidget*> order;
    for (int i = 0; i < 10; ++i) {
        TkznLabelEdit* edit = p.DictationEdits[i];
        const int left = i % 2 ? 305 : 18;
        const int top = 32 + 45 * (i / 2);
        QCOMPARE(edit->objectName(), QStringLiteral("edtSubject%1").arg(i + 1));
        QCOMPARE(edit->geometry(), QRect(left, top, 235, 20));
        QCOMPARE(edit->maxLength(), 80);
        QCOMPARE(edit->Caption(), QString("单词"));
        QVERIFY(edit->EditLabel()->geometry().bottom() < top);
        QToolButton* speak = p.DictationSpeakButtons[i];
        QCOMPARE(speak->geometry(), QRect(i % 2 ? 543 : 256, top - 2, 24, 23));
        QCOMPARE(speak->focusPolicy(), Qt::NoFocus);
        QCOMPARE(f.Glyph(speak), None);
        order << edit;
    }
    order << p.btnResult << p.btnStart << p.btnReStart;
    QCOMPARE(p.btnStart->geometry(), QRect(64, 262, 75, 25));
    QCOMPARE(p.btnReStart->geometry(), QRect(256, 262, 75, 25));
    QCOMPARE(p.btnResult->geometry(), QRect(424, 262, 75, 25));
    QCOMPARE(p.btnReStart->text(), QString("再来一次"));
    QVERIFY(!p.btnResult->isEnabled());
    p.btnResult->setEnabled(true);  // the chain includes it when enabled
    QCOMPARE(FocusOrder(order), order);
}

void ExercisePagesTest::wordDictationDrawsSpeaksAndMarks()
{
    ExerciseFixture f;
    TWordWritePage& p = *f.wordWrite;
    f.AddWordContainer(2);
    f.random.Add({0, 0, 1, 2, 0, 1, 0, 1, 2, 2});
    p.btnStart->click();
    QCOMPARE(f.random.bounds, QList<int>(10, 3));
    QCOMPARE(f.words.RecNo(), 2);  // the word page follows the last draw
    const char* answers[] = {"Apple", "o'clock", "post office"};
    const char* meanings[] = {"苹果", "……点钟", "邮局"};
    const int drawn[] = {0, 0, 1, 2, 0, 1, 0, 1, 2, 2};
    for (int i = 0; i < 10; ++i) {
        TkznLabelEdit* edit = p.DictationEdits[i];
        QCOMPARE(edit->Answer(), QString::fromUtf8(answers[drawn[i]]));
        QCOMPARE(edit->toolTip(), PlainToolTip(edit->Answer()));
        QCOMPARE(edit->Caption(), QString::fromUtf8(meanings[drawn[i]]));
        QCOMPARE(edit->SoundFile(), QStringLiteral("qor1/%1.qow").arg(drawn[i] + 1));
        QCOMPARE(f.Glyph(p.DictationSpeakButtons[i]), Speaker);
    }
    QVERIFY(p.btnResult->isEnabled());
    QVERIFY(f.log.calls.isEmpty());  // a draw speaks nothing

    p.DictationSpeakButtons[2]->click();
    QCOMPARE(f.log.Take(), QStringList{"word qor1/2.qow"});
    p.DictationSpeakButtons[0]->click();  // missing: the player says so
    QCOMPARE(f.log.Take(), QStringList{"word qor1/1.qow"});

    const char* typed[] = {"apple ", "aple", "oclock", "postoffice", "APPLE!", "o clock", "", "oclocks",
                           "post-office", "post office"};
    for (int i = 0; i < 10; ++i)
        p.DictationEdits[i]->setText(QString::fromUtf8(typed[i]));
    p.btnResult->click();
    const int marks[] = {Tick, Cross, Tick, Tick, Tick, Tick, Cross, Cross, Tick, Tick};
    for (int i = 0; i < 10; ++i)
        QCOMPARE(f.Glyph(p.DictationSpeakButtons[i]), marks[i]);
    QCOMPARE(p.DictationEdits[1]->text(), QString("aple (Apple)"));
    QCOMPARE(p.DictationEdits[6]->text(), QString(" (Apple)"));
    QCOMPARE(p.DictationEdits[0]->text(), QString("apple "));
    QVERIFY(!p.btnResult->isEnabled());

    // Changing an answer afterwards changes no mark; the edits stay usable.
    p.DictationEdits[1]->setText("Apple");
    QCOMPARE(f.Glyph(p.DictationSpeakButtons[1]), Cross);
    QVERIFY(!p.DictationEdits[1]->isReadOnly());

    // A long typed answer keeps its expected word after marking.
    f.random.Add(QList<int>(10, 0));
    p.btnReStart->click();
    QVERIFY(p.btnResult->isEnabled());
    QCOMPARE(f.Glyph(p.DictationSpeakButtons[1]), Speaker);
    QVERIFY(p.DictationEdits[1]->text().isEmpty());
    const QString longTyped(80, u'x');
    p.DictationEdits[0]->setText(longTyped);
    p.btnResult->click();
    QCOMPARE(p.DictationEdits[0]->text(), longTyped + " (Apple)");
}

void ExercisePagesTest::enterMovesOnAndSpeaksTheNextWord()
{
    ExerciseFixture f;
    QVERIFY(f.windowActive);
    TWordWritePage& p = *f.wordWrite;
    f.random.Add({0, 0, 0, 2, 0, 0, 0, 0, 0, 1});
    p.btnStart->click();
    for (int id = 1; id <= 3; ++id)
        f.AddWordContainer(id);
    p.DictationEdits[2]->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.log.Take(), QStringList{"word qor1/1.qow"});
    QTest::keyClicks(p.DictationEdits[2], "apple");
    QTest::keyClick(p.DictationEdits[2], Qt::Key_Return);
    QVERIFY(p.DictationEdits[3]->hasFocus());
    QCOMPARE(p.DictationEdits[2]->text(), QString("apple"));
    QCOMPARE(f.log.Take(), QStringList{"word qor1/3.qow"});

    // After subject 10 comes "成绩" while it is enabled, then "开始".
    p.DictationEdits[9]->setFocus(Qt::MouseFocusReason);
    QCOMPARE(f.log.Take(), QStringList{"word qor1/2.qow"});
    QTest::keyClick(p.DictationEdits[9], Qt::Key_Enter);
    QVERIFY(p.btnResult->hasFocus());
    p.btnResult->click();
    p.DictationEdits[9]->setFocus(Qt::TabFocusReason);
    f.log.Take();
    QTest::keyClick(p.DictationEdits[9], Qt::Key_Return);
    QVERIFY(p.btnStart->hasFocus());

    // Getting the focus back with the window speaks nothing.
    p.DictationEdits[0]->setFocus(Qt::ActiveWindowFocusReason);
    QVERIFY(f.log.calls.isEmpty());
}

void ExercisePagesTest::wordDictationClearsOnlyWhenAnotherExerciseComesToFront()
{
    ExerciseFixture f;
    TWordWritePage& p = *f.wordWrite;
    f.random.Add(QList<int>(10, 1));
    p.btnStart->click();
    p.DictationEdits[0]->setText("typed");

    // Leaving for another main page hides the page only with its ancestors.
    f.pcTest.hide();
    f.pcTest.show();
    QCOMPARE(p.DictationEdits[0]->text(), QString("typed"));
    QCOMPARE(p.DictationEdits[0]->Answer(), QString("o'clock"));

    f.pcTest.setCurrentIndex(1);
    for (int i = 0; i < 10; ++i) {
        TkznLabelEdit* edit = p.DictationEdits[i];
        QCOMPARE(edit->Caption(), QString("单词"));
        QVERIFY(edit->Answer().isEmpty() && edit->text().isEmpty() && edit->SoundFile().isEmpty());
        QVERIFY(edit->toolTip().isEmpty());
        QCOMPARE(f.Glyph(p.DictationSpeakButtons[i]), None);
    }
    QVERIFY(p.btnResult->isEnabled());  // clearing leaves it as it was

    // Marking after a clear judges against empty answers.
    f.pcTest.setCurrentIndex(0);
    p.DictationSpeakButtons[0]->click();
    QVERIFY(f.log.calls.isEmpty());
    p.DictationEdits[0]->setText("42!");
    p.DictationEdits[1]->setText("word");
    p.btnResult->click();
    QCOMPARE(f.Glyph(p.DictationSpeakButtons[0]), Tick);
    QCOMPARE(f.Glyph(p.DictationSpeakButtons[1]), Cross);
    QCOMPARE(p.DictationEdits[1]->text(), QString("word ()"));
}

void ExercisePagesTest::wordDictationOnAnEmptyLesson()
{
    ExerciseFixture f;
    TWordWritePage& p = *f.wordWrite;
    FillWordRows(f.words, {});
    f.random.Add(QList<int>(10, 0));
    p.btnStart->click();
    QCOMPARE(f.random.bounds, QList<int>(10, 0));
    for (int i = 0; i < 10; ++i) {
        QVERIFY(p.DictationEdits[i]->Caption().isEmpty());
        QVERIFY(p.DictationEdits[i]->Answer().isEmpty());
    }
    p.DictationSpeakButtons[4]->click();
    QVERIFY(f.log.calls.isEmpty());
    p.DictationEdits[3]->setText("abc");
    p.btnResult->click();
    QCOMPARE(f.Glyph(p.DictationSpeakButtons[0]), Tick);
    QCOMPARE(f.Glyph(p.DictationSpeakButtons[3]), Cross);
}

void ExercisePagesTest::wordSelectionLayout()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(1);
    TWordSelectPage& p = *f.wordSelect;
    QCOMPARE(p.pnlSubject[0]->geometry(), QRect(21, 16, 257, 228));
    QCOMPARE(p.pnlSubject[1]->geometry(), QRect(306, 16, 257, 228));
    QCOMPARE(p.pnlSubject[1]->objectName(), QString("Panel2"));
    const int tops[] = {47, 93, 137, 181};
    QList<QWidget*> order{p.btnBegin, p.Button14, p.Button17};
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(p.nwsSubject[k]->parentWidget(), p.pnlSubject[k]);
        QCOMPARE(p.nwsSubject[k]->geometry(), QRect(16, 8, 201, 41));
        QCOMPARE(p.nwsSubject[k]->text(), QString("单词"));
        QVERIFY(p.nwsSubject[k]->wordWrap());
        QCOMPARE(p.sbWordSpeak[k]->geometry(), QRect(223, 15, 28, 28));
        QCOMPARE(f.Glyph(p.sbWordSpeak[k]), None);
        QVERIFY(p.nwsSubject[k]->AnswerButton() == nullptr);
        for (int j = 0; j < 4; ++j) {
            QCOMPARE(p.rbAnswer[k][j]->geometry(), QRect(16, tops[j], 225, 41));
            QCOMPARE(p.rbAnswer[k][j]->text(), QStringLiteral("释义%1").arg(j + 1));
            order << p.rbAnswer[k][j];
        }
    }
    QCOMPARE(p.btnBegin->text(), QString("英文选中文"));
    QCOMPARE(p.Button14->text(), QString("中文选英文"));
    QCOMPARE(p.Button17->geometry(), QRect(456, 258, 75, 25));
    QVERIFY(!p.Button17->isEnabled());
    p.Button17->setEnabled(true);
    QCOMPARE(FocusOrder(order), order);

    // Only one option per question; clicking anywhere on an option picks it.
    QTest::mouseClick(p.rbAnswer[0][1], Qt::LeftButton, {}, QPoint(200, 30));
    p.rbAnswer[1][3]->click();
    QVERIFY(p.rbAnswer[0][1]->isChecked() && p.rbAnswer[1][3]->isChecked());
    p.rbAnswer[0][2]->click();
    QVERIFY(!p.rbAnswer[0][1]->isChecked() && p.rbAnswer[1][3]->isChecked());
}

void ExercisePagesTest::wordSelectionDrawsAndMarks()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(1);
    TWordSelectPage& p = *f.wordSelect;
    FillWordRows(f.words, {{1, "Apple", "苹果"}, {2, "pear", "梨"}, {3, "plum", "李子"},
                           {4, "peach", "桃"}, {5, "grape", "葡萄"}});
    f.random.Add({4, 1, 0, 3});
    p.btnBegin->click();
    QCOMPARE(p.nwsSubject[0]->text(), QString("grape"));
    QCOMPARE(p.nwsSubject[0]->toolTip(), PlainToolTip("葡萄"));
    QCOMPARE(p.nwsSubject[0]->SoundFile(), QString("qor1/5.qow"));
    const QStringList first{"苹果", "葡萄", "李子", "桃"};  // after the last word: the first ones
    const QStringList second{"梨", "李子", "桃", "苹果"};
    for (int j = 0; j < 4; ++j) {
        QCOMPARE(p.rbAnswer[0][j]->text(), first[j]);
        QCOMPARE(p.rbAnswer[1][j]->text(), second[j]);
    }
    QCOMPARE(p.nwsSubject[0]->AnswerButton(), p.rbAnswer[0][1]);
    QCOMPARE(p.nwsSubject[1]->AnswerButton(), p.rbAnswer[1][3]);
    QCOMPARE(f.Glyph(p.sbWordSpeak[0]), Speaker);
    QVERIFY(p.Button17->isEnabled());

    p.rbAnswer[0][1]->click();
    p.Button17->click();  // question 2 unanswered
    QCOMPARE(f.Glyph(p.sbWordSpeak[0]), Tick);
    QCOMPARE(f.Glyph(p.sbWordSpeak[1]), Cross);
    QCOMPARE(p.rbAnswer[0][1]->text(), QString("葡萄"));
    QCOMPARE(p.rbAnswer[1][3]->text(), QString("苹果 √"));
    QVERIFY(!p.Button17->isEnabled());

    // The other direction; the selection stays under the new captions.
    f.random.Add({1, 0, 2, 2});
    p.Button14->click();
    QVERIFY(p.Button17->isEnabled());
    QCOMPARE(p.nwsSubject[0]->text(), QString("梨"));
    QCOMPARE(p.rbAnswer[0][0]->text(), QString("pear"));
    QCOMPARE(p.rbAnswer[0][1]->text(), QString("peach"));
    QVERIFY(p.rbAnswer[0][1]->isChecked());
    p.Button17->click();
    QCOMPARE(f.Glyph(p.sbWordSpeak[0]), Cross);
    QCOMPARE(p.rbAnswer[0][0]->text(), QString("pear √"));
    QCOMPARE(f.Glyph(p.sbWordSpeak[1]), Cross);  // still unanswered
}

void ExercisePagesTest::wordSelectionSmallLessons()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(1);
    TWordSelectPage& p = *f.wordSelect;
    // Three words: the right text comes twice; only the placed one counts.
    f.random.Add({0, 3, 0, 0});
    p.btnBegin->click();
    QCOMPARE(p.rbAnswer[0][2]->text(), QString("苹果"));
    QCOMPARE(p.rbAnswer[0][3]->text(), QString("苹果"));
    p.rbAnswer[0][2]->click();
    p.rbAnswer[1][0]->click();
    p.Button17->click();
    QCOMPARE(f.Glyph(p.sbWordSpeak[0]), Cross);
    QCOMPARE(p.rbAnswer[0][3]->text(), QString("苹果 √"));
    QCOMPARE(f.Glyph(p.sbWordSpeak[1]), Tick);

    // One word: four equal options, one right.
    FillWordRows(f.words, {{7, "tea", "茶"}});
    f.random.Add({0, 2, 0, 1});
    p.Button14->click();
    for (int j = 0; j < 4; ++j)
        QCOMPARE(p.rbAnswer[0][j]->text(), QString("tea"));
    QCOMPARE(p.nwsSubject[0]->AnswerButton(), p.rbAnswer[0][2]);

    // No words: empty captions, and speaking and marking raise nothing.
    FillWordRows(f.words, {});
    f.random.Add({0, 0, 0, 0});
    p.btnBegin->click();
    QVERIFY(p.nwsSubject[0]->text().isEmpty());
    QVERIFY(p.rbAnswer[1][3]->text().isEmpty());
    p.sbWordSpeak[0]->click();
    p.Button17->click();
    QVERIFY(f.log.calls.isEmpty());
}

void ExercisePagesTest::wordSelectionSpeaksOnlyExistingWords()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(1);
    TWordSelectPage& p = *f.wordSelect;
    p.sbWordSpeak[0]->click();  // nothing drawn
    f.random.Add({1, 0, 2, 0});
    p.btnBegin->click();
    f.AddWordContainer(3);
    p.sbWordSpeak[0]->click();  // o'clock has no recording: silence, no message
    p.sbWordSpeak[1]->click();
    QCOMPARE(f.log.Take(), QStringList{"word qor1/3.qow"});
}

void ExercisePagesTest::wordSelectionClearingKeepsTheSelection()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(1);
    TWordSelectPage& p = *f.wordSelect;
    f.random.Add({0, 0, 1, 1});
    p.btnBegin->click();
    p.rbAnswer[0][0]->click();
    f.pcTest.setCurrentIndex(2);
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(p.nwsSubject[k]->text(), QString("单词"));
        QVERIFY(p.nwsSubject[k]->toolTip().isEmpty());
        QVERIFY(p.nwsSubject[k]->SoundFile().isEmpty());
        QVERIFY(p.nwsSubject[k]->AnswerButton() == nullptr);
        QCOMPARE(f.Glyph(p.sbWordSpeak[k]), None);
        for (int j = 0; j < 4; ++j)
            QCOMPARE(p.rbAnswer[k][j]->text(), QStringLiteral("释义%1").arg(j + 1));
    }
    QVERIFY(p.rbAnswer[0][0]->isChecked());
    QVERIFY(p.Button17->isEnabled());
    f.pcTest.setCurrentIndex(1);
    p.Button17->click();  // no answer buttons: crosses, no caption changes
    QCOMPARE(f.Glyph(p.sbWordSpeak[0]), Cross);
    QCOMPARE(p.rbAnswer[0][0]->text(), QString("释义1"));
}

void ExercisePagesTest::sentenceDictationLayout()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(2);
    TSenWritePage& p = *f.senWrite;
    QCOMPARE(p.lblSenSubject[0]->geometry(), QRect(20, 19, 509, 41));
    QCOMPARE(p.lblSenSubject[1]->geometry(), QRect(20, 134, 509, 41));
    QCOMPARE(p.sbSpeak[0]->geometry(), QRect(536, 23, 28, 28));
    QCOMPARE(p.sbSpeak[1]->geometry(), QRect(536, 141, 28, 28));
    QCOMPARE(p.nsmSubject[0]->geometry(), QRect(20, 63, 545, 60));
    QCOMPARE(p.nsmSubject[1]->geometry(), QRect(20, 178, 545, 60));
    QCOMPARE(p.btnSenStart->geometry(), QRect(56, 257, 75, 25));
    QCOMPARE(p.btnSenNext->geometry(), QRect(249, 257, 75, 25));
    QCOMPARE(p.btnSenResult->geometry(), QRect(436, 257, 75, 25));
    QCOMPARE(p.lblSenSubject[0]->text(), QString("句子"));
    QVERIFY(p.lblSenSubject[0]->wordWrap());
    QCOMPARE(p.nsmSubject[0]->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!p.btnSenResult->isEnabled());
    p.btnSenResult->setEnabled(true);
    const QList<QWidget*> order{p.nsmSubject[0], p.btnSenStart, p.btnSenNext, p.btnSenResult, p.nsmSubject[1]};
    QCOMPARE(FocusOrder(order), order);
}

void ExercisePagesTest::sentenceDictationPlaysOnEntry()
{
    ExerciseFixture f;
    QVERIFY(f.windowActive);
    f.pcTest.setCurrentIndex(2);
    TSenWritePage& p = *f.senWrite;
    p.nsmSubject[0]->setFocus(Qt::MouseFocusReason);  // nothing drawn: silence
    p.sbSpeak[1]->click();
    QVERIFY(f.log.calls.isEmpty());

    f.random.Add({2, 0});
    p.btnSenStart->click();
    QVERIFY(f.log.calls.isEmpty());  // a draw plays nothing
    QCOMPARE(f.sentences.RecNo(), 0);
    QCOMPARE(p.lblSenSubject[0]->text(), QString("我的钢笔在哪里？"));
    QCOMPARE(p.nsmSubject[0]->Answer(), QString("Where is my pen?"));
    QCOMPARE(p.nsmSubject[0]->BeginPos(), 3300);
    QCOMPARE(p.nsmSubject[1]->EndPos(), 1400);
    QCOMPARE(f.Glyph(p.sbSpeak[1]), Speaker);
    QVERIFY(p.btnSenResult->isEnabled());

    p.sbSpeak[0]->click();
    QCOMPARE(f.log.Take(), QStringList{"play 3300-4700"});
    // Tabbing from "成绩" enters the second memo, which reads its sentence.
    p.btnSenResult->setFocus(Qt::TabFocusReason);
    QTest::keyClick(p.btnSenResult, Qt::Key_Tab);
    QVERIFY(p.nsmSubject[1]->hasFocus());
    QCOMPARE(f.log.Take(), QStringList{"play 500-1400"});
    // Tab leaves a memo; Enter starts a new line in it.
    QTest::keyClicks(p.nsmSubject[1], "good");
    QTest::keyClick(p.nsmSubject[1], Qt::Key_Return);
    QTest::keyClicks(p.nsmSubject[1], "morning");
    QCOMPARE(p.nsmSubject[1]->toPlainText(), QString("good\nmorning"));
}

void ExercisePagesTest::sentenceDictationMarksAndShowsMissedWords()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(2);
    TSenWritePage& p = *f.senWrite;
    f.random.Add({1, 2});
    p.btnSenStart->click();
    p.nsmSubject[0]->setPlainText("its NINE\noclock");
    p.nsmSubject[1]->setPlainText("where my pan");
    p.btnSenResult->click();
    QCOMPARE(f.Glyph(p.sbSpeak[0]), Tick);
    QCOMPARE(p.nsmSubject[0]->toPlainText(), QString("its NINE\noclock"));
    QCOMPARE(f.Glyph(p.sbSpeak[1]), Cross);
    QCOMPARE(p.nsmSubject[1]->toPlainText(), QString("where my pan\n(Where is my pen?)"));
    QVERIFY(!p.btnSenResult->isEnabled());

    // The missed words of the added line are red; nothing else is.
    QString red;
    for (QTextBlock block = p.nsmSubject[1]->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().foreground().color() == QColor(Qt::red))
                red += it.fragment().text() + u'|';
        }
    }
    QCOMPARE(red, QString("is|pen?|"));
    for (QTextBlock block = p.nsmSubject[0]->document()->begin(); block.isValid(); block = block.next())
        QCOMPARE(block.begin().fragment().charFormat().foreground().style(), Qt::NoBrush);
}

namespace {

bool IsRed(const QPlainTextEdit* memo, int position)
{
    QTextCursor cursor(memo->document());
    cursor.setPosition(position + 1);  // the format of the character before
    return cursor.charFormat().foreground().color() == QColor(Qt::red);
}

// Draws "Where is my pen?" for both sentence questions, types `typed` into
// question `k` and marks it; returns that memo.
TQorSenMemo* MarkedAnswer(ExerciseFixture& f, int k, const QString& typed)
{
    f.pcTest.setCurrentIndex(2);
    TSenWritePage& p = *f.senWrite;
    f.random.Add({2, 2});
    p.btnSenStart->click();
    TQorSenMemo* memo = p.nsmSubject[k];
    memo->setPlainText(typed);
    p.btnSenResult->click();
    return memo;
}

} // namespace

// Only the marking colours words: typing, pasting or composing right after a
// red word, or inside one, adds text in the normal colour.
void ExercisePagesTest::typingNextToARedWordIsInTheNormalColour()
{
    ExerciseFixture f;
    TQorSenMemo* memo = MarkedAnswer(f, 0, "where my pan");
    const int is = int(memo->toPlainText().indexOf("is my"));
    const int pen = int(memo->toPlainText().indexOf("pen?"));
    QVERIFY(IsRed(memo, is) && IsRed(memo, pen + 1));

    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(is + 2);  // just after the red "is"
    memo->setTextCursor(cursor);
    QTest::keyClicks(memo, "x");
    cursor.setPosition(pen + 2);  // after the "p" of the red "pen?", moved on by the "x"
    memo->setTextCursor(cursor);
    QApplication::clipboard()->setText("yy");
    memo->paste();
    QInputMethodEvent composed;
    composed.setCommitString("z");
    QApplication::sendEvent(memo, &composed);
    QCOMPARE(memo->toPlainText(), QString("where my pan\n(Where isx my pyyzen?)"));
    QCOMPARE(IsRed(memo, is + 2), false);
    for (int at : {pen + 2, pen + 3, pen + 4})
        QVERIFY2(!IsRed(memo, at), qPrintable(QString::number(at)));
    QVERIFY(IsRed(memo, is) && IsRed(memo, pen + 1) && IsRed(memo, pen + 5));
}

// The memo shows three lines; after marking a longer answer the added line
// is in view.
void ExercisePagesTest::markingALongAnswerShowsTheAddedLine()
{
    ExerciseFixture f;
    TQorSenMemo* memo = MarkedAnswer(f, 1, "where\nis\nmy\nred\npan");
    QTextCursor end(memo->document());
    end.movePosition(QTextCursor::End);
    QVERIFY(memo->viewport()->rect().contains(memo->cursorRect(end)));
    QTextCursor start(memo->document());
    QVERIFY(!memo->viewport()->rect().contains(memo->cursorRect(start)));
}

void ExercisePagesTest::sentenceHintShowsTheSentenceWhileThePointerRests()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(2);
    TSenWritePage& p = *f.senWrite;
    QLabel* label = p.lblSenSubject[0];
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(label, &enter);  // nothing drawn: no change
    QCOMPARE(label->text(), QString("句子"));

    f.random.Add({0, 1});
    p.btnSenStart->click();
    QCoreApplication::sendEvent(label, &enter);
    QCOMPARE(label->text(), QString("Good morning."));
    QCOMPARE(p.nsmSubject[0]->Answer(), QString("Good morning."));  // marking is unaffected
    QCoreApplication::sendEvent(label, &leave);
    QCOMPARE(label->text(), QString("早上好。"));

    // A draw while the pointer rests on the prompt shows the new prompt and
    // keeps the new answer.
    QCoreApplication::sendEvent(label, &enter);
    f.random.Add({2, 2});
    p.btnSenNext->click();
    QCOMPARE(label->text(), QString("我的钢笔在哪里？"));
    QCoreApplication::sendEvent(label, &leave);
    QCOMPARE(label->text(), QString("我的钢笔在哪里？"));
    QCOMPARE(p.nsmSubject[0]->Answer(), QString("Where is my pen?"));

    f.hints = false;
    QCoreApplication::sendEvent(label, &enter);
    QCOMPARE(label->text(), QString("我的钢笔在哪里？"));
}

void ExercisePagesTest::sentenceDictationClearing()
{
    ExerciseFixture f;
    f.pcTest.setCurrentIndex(2);
    TSenWritePage& p = *f.senWrite;
    f.random.Add({0, 0});
    p.btnSenStart->click();
    p.nsmSubject[0]->setPlainText("typed");
    f.pcTest.hide();
    f.pcTest.show();
    QCOMPARE(p.nsmSubject[0]->toPlainText(), QString("typed"));

    f.pcTest.setCurrentIndex(0);
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(p.lblSenSubject[k]->text(), QString("句子"));
        QVERIFY(p.nsmSubject[k]->Answer().isEmpty() && p.nsmSubject[k]->toPlainText().isEmpty());
        QCOMPARE(p.nsmSubject[k]->BeginPos(), 0);
        QCOMPARE(f.Glyph(p.sbSpeak[k]), None);
    }
    f.pcTest.setCurrentIndex(2);
    QVERIFY(p.btnSenResult->isEnabled());
    p.sbSpeak[0]->click();
    QVERIFY(f.log.calls.isEmpty());
    p.nsmSubject[1]->setPlainText("text");
    p.btnSenResult->click();
    QCOMPARE(f.Glyph(p.sbSpeak[0]), Tick);
    QCOMPARE(p.nsmSubject[1]->toPlainText(), QString("text\n()"));
}

QTEST_MAIN(ExercisePagesTest)
#include "ExercisePagesTest.moc"
