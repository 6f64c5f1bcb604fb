#include "data/DMUnit.h"
#include "data/LessonTableModel.h"
#include "data/TestLessonDb.h"
#include "data/TextCodec.h"
#include "support/RecordingMessages.h"

#include <QFont>
#include <QItemSelectionModel>
#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class LessonDataSet : public ::testing::Test {
protected:
    LessonDataSet()
    {
        db.Lesson(1, 1, 1, 1, 5, "Times", "")
            .Lesson(2, 1, 2, 6, 6, "Other", "");
        db.Sentence(1, 1, "What time is it?", QString::fromUtf8("几点了？"))
            .Sentence(1, 2, "It's ten o'clock.", QString::fromUtf8("十点。"))
            .Sentence(1, 3, "Prices rose 100% last_year.", QString::fromUtf8("价格"))
            .Sentence(1, 4, "O'CLOCK AGAIN", "")
            .Sentence(1, 5, "He said: 100 percent.", "")
            .Sentence(1, 6, "Elsewhere.", "");
        db.Word(1, 1, 1, "o'clock", QString::fromUtf8("……点钟"), QString::fromUtf8("əˈklɒk"), QString::fromUtf8("用于整点"))
            .Word(2, 1, 1, "time", QString::fromUtf8("时间"));
        db.Exec("Insert Into tblQor(FID,FBook,FLesson,FEnglish,FChinese,FPS,FInfo) "
                "Values(3,1,1,'bad','0a1b',' ','')");
        db.Note(1, "first lesson's note");
    }

    TestLessonDb db;
    RecordingMessages messages;
    ScopedMessages installed{&messages};
};

TEST_F(LessonDataSet, CursorAndEndFlags)
{
    TDM dm(db.DataDir());
    TLessonDataSet& sen = dm.adsQorSen;
    EXPECT_FALSE(sen.Active());
    EXPECT_TRUE(sen.Eof());
    ASSERT_TRUE(dm.OpenLesson(1));
    EXPECT_EQ(sen.RecordCount(), 5);
    EXPECT_FALSE(sen.Eof());
    int visited = 0;
    for (sen.First(); !sen.Eof(); sen.Next())
        ++visited;
    EXPECT_EQ(visited, 5);
    EXPECT_EQ(sen.RecNo(), 4);  // stays on the last row
    sen.Prior();
    EXPECT_FALSE(sen.Eof());
    EXPECT_EQ(sen.RecNo(), 3);
    sen.First();
    sen.Prior();
    EXPECT_TRUE(sen.Bof());
    EXPECT_EQ(sen.RecNo(), 0);
    EXPECT_TRUE(sen.Locate("FID", 4));
    EXPECT_EQ(sen.FieldText("FEnglish"), "O'CLOCK AGAIN");
    EXPECT_TRUE(sen.Locate("FEnglish", "Prices rose 100% last_year."));
    EXPECT_EQ(sen.RecNo(), 2);
    EXPECT_FALSE(sen.Locate("FID", 9));
    EXPECT_FALSE(sen.Locate("FEnglish", "prices rose 100% last_year."));  // exact
    EXPECT_EQ(sen.RecNo(), 2);

    ASSERT_TRUE(dm.OpenLesson(2));  // the note list is empty here
    EXPECT_EQ(dm.adsNote.RecordCount(), 0);
    EXPECT_TRUE(dm.adsNote.Eof());
    EXPECT_TRUE(dm.adsNote.Bof());
    EXPECT_EQ(dm.adsNote.RecNo(), -1);
    EXPECT_TRUE(dm.adsNote.FieldValue("FNote").isNull());
}

TEST_F(LessonDataSet, ContainsFilterTakesTheWordLiterally)
{
    struct Case {
        const char* word;
        QList<int> ids;
    } cases[] = {
        {"o'clock", {2, 4}},  // apostrophe, and letter case ignored
        {"100%", {3}},       // '%' is not a wildcard
        {"_", {3}},          // nor is '_'
        {"%", {3}},
        {"t's t", {2}},
        {"nothing like it", {}},
        {"", {1, 2, 3, 4, 5}},  // an empty word is in every sentence
    };
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(1));
    TLessonDataSet& sen = dm.adsQorSen;
    for (const Case& c : cases) {
        sen.SetFilterContains("FEnglish", QString::fromUtf8(c.word));
        EXPECT_TRUE(sen.Filtered());
        QList<int> ids;
        for (sen.First(); !sen.Eof(); sen.Next())
            ids.append(sen.FieldValue("FID").toInt());
        EXPECT_EQ(ids, c.ids) << c.word;
        EXPECT_EQ(sen.Model()->rowCount(), c.ids.size()) << c.word;
        sen.ClearFilter();
        EXPECT_EQ(sen.RecordCount(), 5);
    }
    // The related-sentence search: first match, filter off, locate it.
    sen.SetFilterContains("FEnglish", "o'clock");
    const QVariant id = sen.FieldValue("FID");
    sen.ClearFilter();
    ASSERT_TRUE(sen.Locate("FID", id));
    EXPECT_EQ(sen.RecNo(), 1);
}

TEST_F(LessonDataSet, EncipheredFieldsShowDecodedAndKeepTheStoredValue)
{
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(1));
    TLessonDataSet& word = dm.adsQorWord;
    LessonTableModel& model = *word.Model();
    EXPECT_EQ(word.FieldText("FChinese"), QString::fromUtf8("……点钟"));
    EXPECT_EQ(word.FieldText("FPS"), QString::fromUtf8("əˈklɒk"));
    EXPECT_EQ(word.FieldText("FInfo"), QString::fromUtf8("用于整点"));
    const QString raw = word.FieldValue("FPS").toString();
    EXPECT_NE(raw, word.FieldText("FPS"));
    EXPECT_TRUE(QRegularExpression("^([0-9A-F]{2})+$").match(raw).hasMatch()) << raw.toStdString();
    const QModelIndex ps = model.index(0, model.FieldColumn("FPS"));
    EXPECT_EQ(model.data(ps).toString(), QString::fromUtf8("əˈklɒk"));
    EXPECT_EQ(model.data(ps, LessonTableModel::RawValueRole).toString(), raw);
    EXPECT_FALSE(model.data(ps, Qt::FontRole).isValid());
    EXPECT_EQ(model.data(model.index(0, model.FieldColumn("FEnglish"))).toString(), "o'clock");
    EXPECT_EQ(dm.adsQorSen.FieldText("FChinese"), QString::fromUtf8("几点了？"));

    // Lower-case hex is not stored data: it shows as "-1"; blanks show empty.
    ASSERT_TRUE(word.Locate("FID", 3));
    EXPECT_EQ(word.FieldText("FChinese"), "-1");
    EXPECT_EQ(word.FieldText("FPS"), "");
    EXPECT_EQ(word.FieldText("FInfo"), "");

    // With the phonetic font, its bytes are glyph codes, one per character.
    dm.SetPhoneticFontAvailable(true);
    word.First();
    EXPECT_EQ(word.FieldText("FPS"), QString::fromLatin1(TextToGb18030(QString::fromUtf8("əˈklɒk"))));
    EXPECT_EQ(word.FieldText("FChinese"), QString::fromUtf8("……点钟"));  // only the phonetic field
    EXPECT_EQ(model.data(model.index(0, model.FieldColumn("FPS")), Qt::FontRole).value<QFont>().family(),
              "PDFont1");
    EXPECT_EQ(model.headerData(model.FieldColumn("FPS"), Qt::Horizontal).toString(), "FPS");
}

TEST_F(LessonDataSet, ViewsShareTheCursor)
{
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(1));
    TLessonDataSet& sen = dm.adsQorSen;
    QItemSelectionModel& selection = *sen.SelectionModel();
    QSignalSpy moves(&sen, &TLessonDataSet::CurrentRowChanged);
    EXPECT_EQ(selection.currentIndex().row(), 0);

    sen.Next();
    sen.Next();
    EXPECT_EQ(selection.currentIndex().row(), 2);
    EXPECT_TRUE(selection.isRowSelected(2, {}));
    ASSERT_EQ(moves.count(), 2);
    EXPECT_EQ(moves.last().at(0).toInt(), 2);

    // A click in any view moves the dataset, and so every other view.
    selection.setCurrentIndex(sen.Model()->index(4, 1), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(sen.RecNo(), 4);
    EXPECT_EQ(sen.FieldValue("FID").toInt(), 5);
    EXPECT_EQ(moves.count(), 3);

    // A new lesson resets the model and puts everyone on its first row.
    QSignalSpy resets(sen.Model(), &QAbstractItemModel::modelReset);
    ASSERT_TRUE(dm.OpenLesson(2));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(sen.Model()->rowCount(), 1);
    EXPECT_EQ(selection.currentIndex().row(), 0);
    EXPECT_EQ(sen.RecNo(), 0);

    sen.Model()->setHeaderData(sen.Model()->FieldColumn("FEnglish"), Qt::Horizontal, QString::fromUtf8("英文"));
    ASSERT_TRUE(dm.OpenLesson(1));
    EXPECT_EQ(sen.Model()->headerData(sen.Model()->FieldColumn("FEnglish"), Qt::Horizontal).toString(),
              QString::fromUtf8("英文"));
}

} // namespace
