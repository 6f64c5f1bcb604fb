#include "DialogFixture.h"

#include "app/SelectBookFrm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

// The text the list shows in `field`'s column on the current row.
QString CurrentRowText(QDialog& dialog, int column)
{
    auto* grid = Child<QTableView>(dialog, "DBGridEh1");
    return grid->model()->index(grid->currentIndex().row(), column).data().toString();
}

} // namespace

class SelectBookFrmTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheOpenLessonsBookAndRow()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        QVERIFY(fixture.dm->OpenLesson(8));  // book 3, lesson 2
        TSelectBookForm form(nullptr, *fixture.dm);
        QCOMPARE(Child<QComboBox>(form, "cbTable")->currentText(), QStringLiteral("第三册"));
        QCOMPARE(form.SelectedContentID(), 8);
        QCOMPARE(CurrentRowText(form, 0), QStringLiteral("Lesson 2 第2课"));
        QCOMPARE(CurrentRowText(form, 1), QStringLiteral("2"));
        QCOMPARE(CurrentRowText(form, 2), QStringLiteral("2026/12/06"));

        // A lesson never studied shows no time.
        auto* grid = Child<QTableView>(form, "DBGridEh1");
        QCOMPARE(grid->model()->index(0, 2).data().toString(), QString());
        QVERIFY(fixture.messages.entries.empty());
    }

    void arrowKeysMoveTheChosenLesson()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->OpenLesson(8));  // book 3, lesson 2
        TSelectBookForm form(nullptr, *fixture.dm);
        form.show();
        auto* grid = Child<QTableView>(form, "DBGridEh1");
        grid->setFocus();
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Down, 9}, {Qt::Key_Up, 8}, {Qt::Key_Home, 7}, {Qt::Key_End, 9}, {Qt::Key_PageUp, 7},
        };
        for (const auto& [key, contentId] : steps) {
            QTest::keyClick(grid, key);
            QCOMPARE(form.SelectedContentID(), contentId);
        }
    }

    void typedLessonNumberAndEnterOpensIt()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        QVERIFY(fixture.dm->OpenLesson(8));
        WhenModalShown([](QDialog& dialog) {
            auto* edit = Child<QLineEdit>(dialog, "edtLesson");
            QTest::keyClicks(edit, QStringLiteral("3"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QVERIFY(SelectLesson(nullptr, *fixture.dm));
        QCOMPARE(fixture.dm->CurContentID, 9);
        QCOMPARE(fixture.dm->CurLesson, 3);
    }

    void unknownLessonNumberKeepsTheDialogOpenSilently()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        QVERIFY(fixture.dm->OpenLesson(8));
        TSelectBookForm form(nullptr, *fixture.dm);
        form.show();
        auto* edit = Child<QLineEdit>(form, "edtLesson");
        for (const QString& typed : {QStringLiteral("7"), QStringLiteral("2.5"), QString()}) {
            edit->clear();
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY2(form.isVisible(), qPrintable(typed));
            QCOMPARE(form.result(), int(QDialog::Rejected));
            QCOMPARE(form.SelectedContentID(), 8);
        }
        QVERIFY(fixture.messages.entries.empty());
    }

    void lessonNumberBoxRefusesLettersAndAFourthDigit()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        TSelectBookForm form(nullptr, *fixture.dm);
        auto* edit = Child<QLineEdit>(form, "edtLesson");
        QTest::keyClicks(edit, QStringLiteral("a1b"));
        // A full-width digit is not a lesson number either.
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QStringLiteral("２"), Qt::NoModifier);
        QCOMPARE(edit->text(), QStringLiteral("1"));
        QTest::keyClicks(edit, QStringLiteral("234"));
        QCOMPARE(edit->text(), QStringLiteral("123"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("12"));
    }

    void switchingBooksListsTheNewBookFromItsFirstLesson()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        QVERIFY(fixture.dm->OpenLesson(8));
        WhenModalShown([](QDialog& dialog) {
            auto* books = Child<QComboBox>(dialog, "cbTable");
            QTest::keyClick(books, Qt::Key_Up);
            QCOMPARE(books->currentText(), QStringLiteral("第二册"));
            QCOMPARE(Child<QTableView>(dialog, "DBGridEh1")->model()->rowCount(), 3);
            QCOMPARE(CurrentRowText(dialog, 0), QStringLiteral("Lesson 1 第1课"));
            Child<QPushButton>(dialog, "btnOk")->click();
        });
        QVERIFY(SelectLesson(nullptr, *fixture.dm));
        QCOMPARE(fixture.dm->CurContentID, 4);
        QCOMPARE(fixture.dm->CurBook, 2);
        QCOMPARE(fixture.dm->CurLesson, 1);
    }

    void lessonThatCannotBeOpenedKeepsThePreviousOne()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        // Lesson 4 of book 3 is listed but has no sentences.
        fixture.Exec(QStringLiteral("Insert Into tblContent(FID, FBook, FLesson, FBeginID, FEndID, FEnglish,"
                                    " FChinese, FStudyCount) Values(10, 3, 4, 99, 99, 'Lesson 4 ', '', 0)"));
        QVERIFY(fixture.dm->OpenLesson(8));
        WhenModalShown([](QDialog& dialog) {
            QTest::keyClicks(Child<QLineEdit>(dialog, "edtLesson"), QStringLiteral("4"));
            QTest::keyClick(Child<QLineEdit>(dialog, "edtLesson"), Qt::Key_Enter);
        });
        QVERIFY(!SelectLesson(nullptr, *fixture.dm));
        QCOMPARE(fixture.dm->CurContentID, 8);
        QCOMPARE(fixture.messages.entries.size(), size_t(1));
        QCOMPARE(fixture.messages.entries.front().kind, RecordingMessages::Kind::Error);
        QCOMPARE(fixture.messages.entries.front().text, QStringLiteral("Veltra数据库已损坏，请重新安装软件！"));
    }

    void unreadableCatalogueShowsItsMessageAndAnEmptyList()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        QVERIFY(fixture.dm->OpenLesson(8));
        fixture.Exec(QStringLiteral("Alter Table tblContent Rename To tblGone"));
        TSelectBookForm form(nullptr, *fixture.dm);
        QCOMPARE(fixture.messages.entries.size(), size_t(1));
        QCOMPARE(fixture.messages.entries.front().text, QStringLiteral("打开课程目录数据出错，请重新安装软件！"));
        QCOMPARE(Child<QTableView>(form, "DBGridEh1")->model()->rowCount(), 0);
        QVERIFY(!Child<QPushButton>(form, "btnOk")->isEnabled());
        QCOMPARE(form.SelectedContentID(), 0);
    }

    // A book without lessons offers nothing to open: OK stays disabled
    // instead of failing with the damaged-database message.
    void emptyBookLeavesOkDisabled()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        QVERIFY(fixture.dm->OpenLesson(8));
        TSelectBookForm form(nullptr, *fixture.dm);
        auto* books = Child<QComboBox>(form, "cbTable");
        QTest::keyClick(books, Qt::Key_Down);
        QCOMPARE(books->currentText(), QStringLiteral("第四册"));
        QCOMPARE(Child<QTableView>(form, "DBGridEh1")->model()->rowCount(), 0);
        QVERIFY(!Child<QPushButton>(form, "btnOk")->isEnabled());
        QCOMPARE(form.SelectedContentID(), 0);
        QTest::keyClick(books, Qt::Key_Up);
        QVERIFY(Child<QPushButton>(form, "btnOk")->isEnabled());
        QVERIFY(fixture.messages.entries.empty());
    }
};

QTEST_MAIN(SelectBookFrmTest)
#include "SelectBookFrmTest.moc"
