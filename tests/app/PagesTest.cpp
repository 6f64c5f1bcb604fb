#include "FocusOrder.h"
#include "PageFixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

namespace {

bool RowInView(QTableView* grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    return cell.isValid() && grid->viewport()->rect().contains(cell);
}

// Asks the grid for the tooltip of the cell and tells what shows: the text
// a rich-text tooltip renders, when it is one.
QString TooltipAt(QTableView* grid, int row, int column)
{
    QToolTip::hideText();  // hides after a short delay
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
        return QStringLiteral("<a tooltip stays up>");
    const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
    QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &help);
    if (!QToolTip::isVisible())
        return QString();
    if (!Qt::mightBeRichText(QToolTip::text()))
        return QToolTip::text();
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    return shown.toPlainText();
}

void ClickRow(QTableView* grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT
private slots:
    void senPageLayout();
    void wordPageLayout();
    void gridClickReadsTheCurrentRow();
    void keysMoveTheCurrentRow_data();
    void keysMoveTheCurrentRow();
    void continuousReadingStopsByButtonAndByLeavingThePage();
    void sentenceFollowReadingStates();
    void wordFollowReadingStates();
    void wordTakeWithMissingModelReturnsToIdle();
    void navigationButtons();
    void relatedSentence_data();
    void relatedSentence();
    void relatedSentenceWithoutMatchKeepsThePlace();
    void wordDetailsFollowTheCurrentWord();
    void gridsKeepTheCurrentRowInView();
    void cutOffCellsShowTheirTextAsTooltip();
};

void PagesTest::senPageLayout()
{
    PageFixture f;
    TSenPage& p = *f.sen;
    QCOMPARE(p.grdSen->geometry(), QRect(16, 8, 577, 291));
    QCOMPARE(p.grdSen->verticalHeader()->defaultSectionSize(), (291 - 25) / 4);
    const int english = f.sentences.FieldIndex("FEnglish");
    const int chinese = f.sentences.FieldIndex("FChinese");
    for (int c = 0; c < f.sentences.Fields().size(); ++c)
        QCOMPARE(p.grdSen->isColumnHidden(c), c != english && c != chinese);
    QCOMPARE(p.grdSen->columnWidth(english), 309);
    QCOMPARE(p.grdSen->columnWidth(chinese), 233);
    QCOMPARE(p.grdSen->model()->headerData(english, Qt::Horizontal).toString(), QString("英文"));
    QCOMPARE(p.grdSen->model()->headerData(chinese, Qt::Horizontal).toString(), QString("中文"));

    const struct {
        QPushButton* button;
        const char* caption;
        int left;
    } buttons[] = {{p.btnSpeakSen, "朗读句子", 43}, {p.btnSenSpeakRuning, "连续朗读", 131},
                   {p.btnSenFellow, "开始跟读", 219}, {p.btnFellowPlay, "跟读对比", 307},
                   {p.btnSenTest, "强化练习", 395}, {p.btnNote, "课程笔记", 483}};
    for (const auto& b : buttons) {
        QCOMPARE(b.button->text(), QString::fromUtf8(b.caption));
        QCOMPARE(b.button->geometry(), QRect(b.left, 312, 75, 25));
    }
    QVERIFY(!p.btnFellowPlay->isEnabled());
    const QList<QWidget*> order{p.grdSen, p.btnSpeakSen, p.btnSenSpeakRuning, p.btnSenTest,
                                p.btnSenFellow, p.btnNote, p.btnFellowPlay};
    QCOMPARE(FocusOrder(order), order);

    // A reload of the lesson keeps the columns as they were set up.
    FillSentences(f.sentences, {{7, "Again.", 0, 100}});
    QVERIFY(p.grdSen->isColumnHidden(f.sentences.FieldIndex("FID")));
    QCOMPARE(p.grdSen->columnWidth(english), 309);
}

void PagesTest::wordPageLayout()
{
    PageFixture f;
    TWordPage& p = *f.word;
    QCOMPARE(p.DBGridEh1->geometry(), QRect(16, 16, 209, 313));
    const int english = f.words.FieldIndex("FEnglish");
    QCOMPARE(p.DBGridEh1->model()->headerData(english, Qt::Horizontal).toString(), QString("生词列表"));
    QCOMPARE(p.DBGridEh1->columnWidth(english), 174);
    QCOMPARE(p.DBGridEh1->verticalHeader()->defaultSectionSize(), 18);
    const struct {
        QPushButton* button;
        const char* caption;
        QRect geometry;
    } buttons[] = {{p.btnWordSpeak, "朗读单词", {239, 303, 56, 25}},
                   {p.btnWordSpeakRuning, "连续朗读", {299, 303, 56, 25}},
                   {p.btnSenInLesson, "相关句子", {359, 303, 56, 25}},
                   {p.btnWordFellow, "单词跟读", {419, 303, 56, 25}},
                   {p.btnWordFellowPlay, "跟读对比", {480, 303, 56, 25}},
                   {p.btnWordTest, "单词练习", {541, 303, 57, 25}}};
    for (const auto& b : buttons) {
        QCOMPARE(b.button->text(), QString::fromUtf8(b.caption));
        QCOMPARE(b.button->geometry(), b.geometry);
    }
    QVERIFY(!p.btnWordFellowPlay->isEnabled());
    const QList<QWidget*> order{p.DBGridEh1, p.DBEdit1, p.DBEdit3, p.DBMemo1, p.DBEdit2, p.btnWordSpeak,
                                p.btnWordSpeakRuning, p.btnSenInLesson, p.btnWordTest, p.btnWordFellow,
                                p.btnWordFellowPlay};
    QCOMPARE(FocusOrder(order), order);
}

void PagesTest::gridClickReadsTheCurrentRow()
{
    PageFixture f;
    f.pcMain.setCurrentWidget(f.tsSen);
    const int english = f.sentences.FieldIndex("FEnglish");
    ClickRow(f.sen->grdSen, 2, english);
    QCOMPARE(f.sentences.RecNo(), 2);
    ClickRow(f.sen->grdSen, 2, f.sentences.FieldIndex("FChinese"));  // the current row again
    QCOMPARE(f.log.Take(), QStringList({"play 2100-3300 end0", "play 2100-3300 end0"}));
    QVERIFY(f.sen->grdSen->hasFocus());

    // After a move past the last row the end-of-list flag holds the click back.
    f.sentences.Last();
    f.sentences.Next();
    ClickRow(f.sen->grdSen, 3, english);
    QVERIFY(f.log.calls.isEmpty());

    FillSentences(f.sentences, {});
    QTest::mouseClick(f.sen->grdSen->viewport(), Qt::LeftButton, {}, QPoint(50, 30));
    f.sen->btnSpeakSen->click();
    QVERIFY(f.log.calls.isEmpty());

    // The word list: a click speaks the clicked word.
    f.pcMain.setCurrentWidget(f.tsWord);
    QDir(f.dataDir.path()).mkdir("qor1");
    QFile container(f.dataDir.filePath("qor1/12.qow"));
    QVERIFY(container.open(QIODevice::WriteOnly));
    container.write(PackContainer("RIFF"));
    container.close();
    ClickRow(f.word->DBGridEh1, 1, f.words.FieldIndex("FEnglish"));
    QCOMPARE(f.log.Take(), QStringList({"open", "play word"}));
}

void PagesTest::keysMoveTheCurrentRow_data()
{
    QTest::addColumn<bool>("words");
    QTest::newRow("sentence grid") << false;
    QTest::newRow("word list") << true;
}

// The keys of a table move the current row as a click would: the dataset's
// cursor, and with it the word details. Moving reads nothing.
void PagesTest::keysMoveTheCurrentRow()
{
    QFETCH(bool, words);
    PageFixture f;
    QList<SentenceRow> rows;
    QList<int> ids;
    for (int i = 1; i <= 40; ++i) {
        rows.append({i, QStringLiteral("Sentence %1.").arg(i), 1000 * i, 1000 * i + 800});
        ids << i;
    }
    FillSentences(f.sentences, rows);
    FillWords(f.words, ids);
    TLessonDataSet& set = words ? f.words : f.sentences;
    QTableView* grid = words ? f.word->DBGridEh1 : f.sen->grdSen;
    f.pcMain.setCurrentWidget(words ? f.tsWord : f.tsSen);
    grid->setFocus();
    QVERIFY(grid->hasFocus());

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int from;  // the row it moves to lies in from..to
        int to;
    };
    const Step steps[] = {
        {Qt::Key_Down, {}, 1, 1},          {Qt::Key_Down, {}, 2, 2},       {Qt::Key_Up, {}, 1, 1},
        {Qt::Key_PageDown, {}, 3, 20},     {Qt::Key_End, {}, 39, 39},      {Qt::Key_Down, {}, 39, 39},
        {Qt::Key_PageUp, {}, 19, 36},      {Qt::Key_Home, {}, 0, 0},       {Qt::Key_Up, {}, 0, 0},
        {Qt::Key_End, Qt::ControlModifier, 39, 39}, {Qt::Key_Home, Qt::ControlModifier, 0, 0},
    };
    for (const Step& step : steps) {
        QTest::keyClick(grid, step.key, step.modifiers);
        const QString where = QStringLiteral("key %1 → row %2").arg(step.key, 0, 16).arg(set.RecNo());
        QVERIFY2(set.RecNo() >= step.from && set.RecNo() <= step.to, qPrintable(where));
        QCOMPARE(grid->selectionModel()->selectedRows().value(0).row(), set.RecNo());
        QVERIFY2(RowInView(grid, set.RecNo(), set.FieldIndex("FEnglish")), qPrintable(where));
    }
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(set.RecNo(), 2);
    if (words)
        QCOMPARE(f.word->DBEdit1->text(), QStringLiteral("w3"));
    QVERIFY(f.log.calls.isEmpty());
}

void PagesTest::continuousReadingStopsByButtonAndByLeavingThePage()
{
    PageFixture f;
    f.pcMain.setCurrentWidget(f.tsSen);
    TSenPage& p = *f.sen;
    p.btnSenSpeakRuning->click();
    QCOMPARE(p.btnSenSpeakRuning->text(), QString("停止朗读"));
    f.sentenceReading.SpanEnded();
    QVERIFY(f.senTimer.active);
    f.sentenceReading.TimerStep();
    QCOMPARE(f.sentenceReading.RepeatCounter(), 2);
    p.btnSenSpeakRuning->click();
    QCOMPARE(p.btnSenSpeakRuning->text(), QString("连续朗读"));
    QCOMPARE(f.sentenceReading.RepeatCounter(), 0);
    QVERIFY(!f.senTimer.active);
    QCOMPARE(f.log.calls.last(), QString("stop"));

    p.btnSenSpeakRuning->click();
    f.log.Take();
    f.pcMain.setCurrentWidget(f.tsWord);
    QCOMPARE(p.btnSenSpeakRuning->text(), QString("连续朗读"));
    QVERIFY(!f.sentenceReading.Running());
    QVERIFY(!f.senTimer.active);
    QCOMPARE(f.log.Take(), QStringList{"stop"});

    // The word page likewise.
    QDir(f.dataDir.path()).mkdir("qor1");
    QFile container(f.dataDir.filePath("qor1/11.qow"));
    QVERIFY(container.open(QIODevice::WriteOnly));
    container.write(PackContainer("RIFF"));
    container.close();
    f.word->btnWordSpeakRuning->click();
    QCOMPARE(f.word->btnWordSpeakRuning->text(), QString("停止朗读"));
    QVERIFY(f.wordTimer.active);
    f.pcMain.setCurrentWidget(f.tsSen);
    QCOMPARE(f.word->btnWordSpeakRuning->text(), QString("连续朗读"));
    QVERIFY(!f.wordTimer.active);
}

void PagesTest::sentenceFollowReadingStates()
{
    PageFixture f;
    f.pcMain.setCurrentWidget(f.tsSen);
    TSenPage& p = *f.sen;
    const QList<QWidget*> locked{p.grdSen, p.btnSpeakSen, p.btnSenSpeakRuning, p.btnFellowPlay, p.btnSenTest, p.btnNote};

    p.btnSenSpeakRuning->click();  // a take may start while continuous reading runs
    p.btnSenFellow->click();
    QCOMPARE(p.btnSenFellow->text(), QString("停止跟读"));
    for (QWidget* w : locked)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(f.sentenceReading.Running());
    f.log.Take();
    p.btnSenFellow->click();
    QCOMPARE(p.btnSenFellow->text(), QString("开始跟读"));
    QCOMPARE(f.log.Take(), QStringList({"rec stop", "rec rewind", "rec play"}));
    for (QWidget* w : locked)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QCOMPARE(p.btnSenSpeakRuning->text(), QString("停止朗读"));

    // Compare plays the model with the recording end action.
    p.btnSenSpeakRuning->click();
    f.sentences.MoveTo(1);
    f.log.Take();
    p.btnFellowPlay->click();
    QCOMPARE(f.log.Take(), QStringList{"play 900-2100 end2"});

    // Leaving the page during a take ends it without playback.
    p.btnSenFellow->click();
    f.log.Take();
    f.pcMain.setCurrentWidget(f.tsWord);
    QCOMPARE(f.log.Take(), QStringList{"rec stop"});
    QCOMPARE(p.btnSenFellow->text(), QString("开始跟读"));
    QVERIFY(p.btnFellowPlay->isEnabled());
    // The word page's compare waits for a take of its own.
    QVERIFY(!f.word->btnWordFellowPlay->isEnabled());
}

void PagesTest::wordFollowReadingStates()
{
    PageFixture f;
    TWordPage& p = *f.word;
    QDir(f.dataDir.path()).mkdir("qor1");
    QFile container(f.dataDir.filePath("qor1/11.qow"));
    QVERIFY(container.open(QIODevice::WriteOnly));
    container.write(PackContainer("RIFF"));
    container.close();

    p.btnWordFellow->click();
    QCOMPARE(p.btnWordFellow->text(), QString("停止跟读"));
    QCOMPARE(f.log.Take(), QStringList({"open", "rec open tmpwav.wav", "rec record"}));
    QVERIFY(!f.wordPlayer.open.isEmpty());  // the model word waits, unplayed
    for (QWidget* w : {p.btnWordSpeak, p.btnWordSpeakRuning, p.btnSenInLesson, p.btnWordTest, p.btnWordFellowPlay})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(p.DBGridEh1->isEnabled());
    ClickRow(p.DBGridEh1, 0, f.words.FieldIndex("FEnglish"));
    QCOMPARE(f.log.Take(), QStringList({"open", "play word"}));

    p.btnWordFellow->click();
    QCOMPARE(f.log.Take(), QStringList({"rec stop", "rec rewind", "rec play"}));
    QVERIFY(p.btnWordFellowPlay->isEnabled());
    p.btnWordFellowPlay->click();
    QCOMPARE(f.log.Take(), QStringList({"play word", "wait 1500", "rec play"}));
}

void PagesTest::wordTakeWithMissingModelReturnsToIdle()
{
    PageFixture f;
    TWordPage& p = *f.word;
    try {
        p.btnWordFellowClick();
        QFAIL("the take started without its model word");
    } catch (const std::exception& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QString("文件不存在！"));
    }
    QCOMPARE(p.btnWordFellow->text(), QString("单词跟读"));
    QVERIFY(!f.wordFollow.Recording());
    QVERIFY(p.btnWordSpeak->isEnabled());
    QVERIFY(!p.btnWordFellowPlay->isEnabled());
    QCOMPARE(f.log.Take(), QStringList{"open"});
}

void PagesTest::navigationButtons()
{
    PageFixture f;
    f.sen->btnSenTest->click();
    f.sen->btnNote->click();
    f.word->btnWordTest->click();
    QCOMPARE(f.log.Take(), QStringList({"open senwrite", "open explain", "open wordwrite"}));
}

void PagesTest::relatedSentence_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("fid");
    QTest::newRow("several matches, lowest FID") << "clock" << true << 2;
    QTest::newRow("letter case ignored") << "GOOD" << true << 1;
    QTest::newRow("apostrophe") << "o'clock" << true << 2;
    QTest::newRow("inside a longer word") << "he" << true << 3;
    QTest::newRow("empty word") << "" << true << 1;
    QTest::newRow("wildcards are literal") << "%" << false << 4;
    QTest::newRow("quote alone") << "'" << true << 2;
    QTest::newRow("no match") << "zebra" << false << 4;
}

void PagesTest::relatedSentence()
{
    QFETCH(QString, word);
    QFETCH(bool, found);
    QFETCH(int, fid);
    PageFixture f;
    f.sentences.Last();
    QCOMPARE(FindRelatedSentence(f.sentences, word), found);
    QVERIFY(!f.sentences.Filtered());
    QCOMPARE(f.sentences.RecordCount(), 4);
    QCOMPARE(f.sentences.FieldValue("FID").toInt(), fid);
}

void PagesTest::relatedSentenceWithoutMatchKeepsThePlace()
{
    PageFixture f;
    RowSet words;
    words.fields = f.words.Fields();
    words.rows = {{21, 1, "clock", "", "", ""}, {22, 1, "zebra", "", "", ""}};
    f.words.Assign(words);
    f.sentences.MoveTo(3);

    f.words.MoveTo(1);
    f.word->btnSenInLesson->click();
    QCOMPARE(f.pcMain.currentWidget(), f.tsWord);
    QCOMPARE(f.sentences.RecNo(), 3);

    f.words.MoveTo(0);
    f.word->btnSenInLesson->click();
    QCOMPARE(f.pcMain.currentWidget(), f.tsSen);
    QCOMPARE(f.sentences.FieldValue("FID").toInt(), 2);
    QCOMPARE(f.words.RecNo(), 0);  // the search never moves the word list
}

void PagesTest::wordDetailsFollowTheCurrentWord()
{
    PageFixture f;
    RowSet words;
    words.fields = f.words.Fields();
    words.rows = {{21, 1, "clock", "钟", "klɒk", "a noun"}, {22, 1, " tea ", "茶", "tiː", "tea time"}};
    f.words.Assign(words);
    TWordPage& p = *f.word;
    QCOMPARE(p.DBEdit1->text(), QString("clock"));
    f.words.Next();
    QCOMPARE(p.DBEdit1->text(), QString(" tea "));
    QCOMPARE(p.DBEdit2->text(), QString("茶"));
    QCOMPARE(p.DBEdit3->text(), QString("tiː"));
    QCOMPARE(p.DBMemo1->toPlainText(), QString("tea time"));
    f.words.SetFieldFontFamily("FPS", "PDFont1");
    QCOMPARE(p.DBEdit3->font().family(), QString("PDFont1"));

    FillWords(f.words, {});
    QVERIFY(p.DBEdit1->text().isEmpty());
    QVERIFY(p.DBMemo1->toPlainText().isEmpty());
}

void PagesTest::gridsKeepTheCurrentRowInView()
{
    PageFixture f;
    QList<SentenceRow> rows;
    for (int i = 1; i <= 10; ++i)
        rows.append({i, i == 7 ? QStringLiteral("The clock is here.") : QStringLiteral("Sentence %1.").arg(i),
                     1000 * i, 1000 * i + 800});
    FillSentences(f.sentences, rows);
    const int english = f.sentences.FieldIndex("FEnglish");
    f.pcMain.setCurrentWidget(f.tsSen);
    QTableView* grdSen = f.sen->grdSen;
    for (int row : {7, 9, 0}) {
        f.sentences.MoveTo(row);
        QVERIFY2(RowInView(grdSen, row, english), qPrintable(QString::number(row)));
    }
    // The wrap of continuous reading, from the last row to the first.
    f.sentences.Last();
    f.sentences.First();
    QVERIFY(RowInView(grdSen, 0, english));

    // "相关句子" moves the hidden text grid, then shows it.
    RowSet words;
    words.fields = f.words.Fields();
    words.rows = {{21, 1, "clock", "", "", ""}};
    f.words.Assign(words);
    f.pcMain.setCurrentWidget(f.tsWord);
    f.word->btnSenInLesson->click();
    QCOMPARE(f.pcMain.currentWidget(), f.tsSen);
    QCOMPARE(f.sentences.RecNo(), 6);
    QVERIFY(RowInView(grdSen, 6, english));

    // The word list likewise.
    f.pcMain.setCurrentWidget(f.tsWord);
    QList<int> ids;
    for (int id = 1; id <= 40; ++id)
        ids << id;
    FillWords(f.words, ids);
    const int word = f.words.FieldIndex("FEnglish");
    for (int row : {30, 39, 0}) {
        f.words.MoveTo(row);
        QVERIFY2(RowInView(f.word->DBGridEh1, row, word), qPrintable(QString::number(row)));
    }
}

void PagesTest::cutOffCellsShowTheirTextAsTooltip()
{
    PageFixture f;
    const QString longEnglish = QStringLiteral(
        "<b>When</b> the last train had gone and the station was quiet again, the old porter sat down on his bench "
        "and told us the whole story of the lost umbrella from its very beginning, and then, because we asked, "
        "the story of the second umbrella, which was never lost at all.");
    const QString longChinese = QStringLiteral("最后一班火车开走以后，车站又安静下来，老搬运工坐在长凳上给我们讲了那把丢失的雨伞的故事。");
    RowSet sentences;
    sentences.fields = f.sentences.Fields();
    sentences.rows = {{1, "Short.", "短句。", 0, 900}, {2, longEnglish, longChinese, 900, 2100}};
    f.sentences.Assign(sentences);
    f.pcMain.setCurrentWidget(f.tsSen);
    QTableView* grdSen = f.sen->grdSen;
    const int english = f.sentences.FieldIndex("FEnglish");
    const int chinese = f.sentences.FieldIndex("FChinese");
    QCOMPARE(TooltipAt(grdSen, 0, english), QString());
    QCOMPARE(TooltipAt(grdSen, 0, chinese), QString());
    QCOMPARE(TooltipAt(grdSen, 1, english), longEnglish);
    QCOMPARE(TooltipAt(grdSen, 1, chinese), longChinese);

    const QString longWord = QStringLiteral("internationalisation of the whole vocabulary");
    RowSet words;
    words.fields = f.words.Fields();
    words.rows = {{21, 1, "tea", "", "", ""}, {22, 1, longWord, "", "", ""}};
    f.words.Assign(words);
    f.pcMain.setCurrentWidget(f.tsWord);
    const int word = f.words.FieldIndex("FEnglish");
    QCOMPARE(TooltipAt(f.word->DBGridEh1, 0, word), QString());
    QCOMPARE(TooltipAt(f.word->DBGridEh1, 1, word), longWord);
}

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"
