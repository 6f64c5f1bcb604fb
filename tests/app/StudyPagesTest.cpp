// The explanation memo's function keys and the notes page.
#include "AppTestSupport.h"

#include "app/ExplainPage.h"
#include "app/NotePage.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString kDeleteQuestion = QStringLiteral("确实要删除这一课的学习笔记吗？");

} // namespace

class StudyPagesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { CaptureBoxes(m_messages, m_errorBoxes); }
    void cleanup() { ReleaseBoxes(); }

    void functionKeys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");
        // The spaces go in at the caret, not at the line start; the caret
        // moves to the start of the next line.
        QTest::newRow("F2 inside a line") << "abc\ndef" << 1 << 1 << int(Qt::Key_F2) << "a  bc\ndef" << 6;
        // Only the first selected line gets the spaces; the caret passes the last.
        QTest::newRow("F4 over three lines") << "l1\nl2\nl3\nl4" << 0 << 8 << int(Qt::Key_F4)
                                             << "    l1\nl2\nl3\nl4" << 13;
        QTest::newRow("F4 selected backwards") << "l1\nl2\nl3\nl4" << 8 << 0 << int(Qt::Key_F4)
                                               << "    l1\nl2\nl3\nl4" << 13;
        QTest::newRow("F6 at a line start") << "a\nb" << 0 << 0 << int(Qt::Key_F6) << "      a\nb" << 8;
        QTest::newRow("F10 on the last line stays") << "x\nab" << 4 << 4 << int(Qt::Key_F10) << "x\nab          " << 14;
        QTest::newRow("F3 middle line") << "one\ntwo\nthree" << 5 << 5 << int(Qt::Key_F3) << "one\nthree" << 4;
        QTest::newRow("F3 last line") << "one\ntwo" << 5 << 5 << int(Qt::Key_F3) << "one" << 3;
        QTest::newRow("F3 only line") << "one" << 1 << 1 << int(Qt::Key_F3) << "" << 0;
        QTest::newRow("F3 empty memo") << "" << 0 << 0 << int(Qt::Key_F3) << "" << 0;
        QTest::newRow("F5 does nothing") << "abc" << 1 << 1 << int(Qt::Key_F5) << "abc" << 1;
        QTest::newRow("F9 does nothing") << "abc" << 1 << 1 << int(Qt::Key_F9) << "abc" << 1;
    }
    void functionKeys()
    {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(QString, expected);
        QFETCH(int, caret);
        TExplainPage page;
        TExplainMemo* memo = page.memoExplain;
        page.SetExplanation(text);
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        memo->setTextCursor(cursor);

        QTest::keyClick(memo, Qt::Key(key));
        QCOMPARE(memo->toPlainText(), expected);
        QCOMPARE(memo->textCursor().position(), caret);
        QVERIFY(memo->isReadOnly());
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void repeatedKeysIndentConsecutiveLines()
    {
        TExplainPage page;
        page.SetExplanation(QStringLiteral("a\nb\nc"));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(page.memoExplain, Qt::Key_F2);
        QCOMPARE(page.memoExplain->toPlainText(), QStringLiteral("  a\n  b\n  c"));
    }

    void noteIsWrittenOnlyAfterEditAndSave()
    {
        CourseFixture course;
        Session s(course);
        TNotePage* notes = s.form.tsNote;
        QTest::keyClicks(notes->memoNote, QStringLiteral("abc"));
        QVERIFY(notes->memoNote->toPlainText().isEmpty());  // read-only before "修改"

        notes->btnNoteSave->click();  // nothing typed: nothing written
        QVERIFY(course.Notes().isEmpty());

        notes->btnNoteEdit->click();
        QVERIFY(!notes->memoNote->isReadOnly());
        QTest::keyClicks(notes->memoNote, QStringLiteral("abc"));
        notes->btnNoteSave->click();
        QVERIFY(notes->memoNote->isReadOnly());
        QCOMPARE(course.Notes(), (QList<QPair<int, QString>>{{1, "abc"}}));

        notes->btnNoteEdit->click();  // a second edit rewrites the one row
        QTest::keyClicks(notes->memoNote, QStringLiteral("d"));
        notes->btnNoteSave->click();
        QCOMPARE(course.Notes(), (QList<QPair<int, QString>>{{1, "abcd"}}));
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void noteFollowsTheLessonAndKeepsItsEditState()
    {
        CourseFixture course;
        course.Execute(QStringLiteral("Insert Into tblNote Values(2, 'second')"));
        Session s(course);
        TNotePage* notes = s.form.tsNote;
        notes->btnNoteEdit->click();
        s.form.NextLesson();
        QCOMPARE(notes->memoNote->toPlainText(), QStringLiteral("second"));
        QVERIFY(!notes->memoNote->isReadOnly());
        s.form.NextLesson();
        QVERIFY(notes->memoNote->toPlainText().isEmpty());
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void deleteAsksFirst()
    {
        QFETCH(bool, answer);
        CourseFixture course;
        course.Execute(QStringLiteral("Insert Into tblNote Values(1, 'keep?')"));
        Session s(course);
        m_messages.answer = answer;
        s.form.tsNote->btnNoteDelete->click();
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QCOMPARE(m_messages.entries[0].kind, RecordingMessages::Kind::Question);
        QCOMPARE(m_messages.entries[0].text, kDeleteQuestion);
        QCOMPARE(course.Notes().size(), answer ? 0 : 1);
        QCOMPARE(s.form.tsNote->memoNote->toPlainText(), answer ? QString() : QStringLiteral("keep?"));
        QVERIFY(s.form.tsNote->memoNote->isReadOnly());
    }

    void deleteWithoutNoteAsksNothing()
    {
        CourseFixture course;
        Session s(course);
        s.form.tsNote->btnNoteDelete->click();
        QVERIFY(m_messages.entries.empty());
    }

    void deletingAnUnsavedNewNoteDropsIt()
    {
        CourseFixture course;
        Session s(course);
        s.form.tsNote->btnNoteEdit->click();
        QTest::keyClicks(s.form.tsNote->memoNote, QStringLiteral("draft"));
        s.form.tsNote->btnNoteDelete->click();
        QCOMPARE(m_messages.entries.size(), size_t(1));
        QVERIFY(s.form.tsNote->memoNote->toPlainText().isEmpty());
        s.form.NextLesson();
        QVERIFY(course.Notes().isEmpty());
        QVERIFY(m_errorBoxes.isEmpty());
    }

    // Typed but not saved: stored before the lesson changes or the window
    // closes, instead of being dropped.
    void unsavedNoteIsPostedBeforeLeaving()
    {
        CourseFixture course;
        {
            Session s(course);
            s.form.tsNote->btnNoteEdit->click();
            QTest::keyClicks(s.form.tsNote->memoNote, QStringLiteral("one"));
            s.form.NextLesson();
            QCOMPARE(s.dm.CurContentID, 2);
            QVERIFY(s.form.tsNote->memoNote->toPlainText().isEmpty());
            QTest::keyClicks(s.form.tsNote->memoNote, QStringLiteral("two"));
            QVERIFY(s.form.close());
        }
        QCOMPARE(course.Notes(), (QList<QPair<int, QString>>{{1, "one"}, {2, "two"}}));
        QVERIFY(m_errorBoxes.isEmpty());
    }

    void failedSaveKeepsTheTextAndTheLesson()
    {
        CourseFixture course;
        Session s(course);
        TNotePage* notes = s.form.tsNote;
        notes->btnNoteEdit->click();
        QTest::keyClicks(notes->memoNote, QStringLiteral("precious"));
        course.Execute(QStringLiteral("Drop Table tblNote"));

        notes->btnNoteSave->click();
        QCOMPARE(m_errorBoxes.size(), 1);
        QVERIFY(!notes->memoNote->isReadOnly());
        s.form.NextLesson();
        QCOMPARE(m_errorBoxes.size(), 2);
        QCOMPARE(s.dm.CurContentID, 1);
        QCOMPARE(notes->memoNote->toPlainText(), QStringLiteral("precious"));

        // Closing asks before it gives the text up; "No" keeps the window.
        m_messages.answer = false;
        QVERIFY(!s.form.close());
        QCOMPARE(m_messages.entries.back().kind, RecordingMessages::Kind::Question);
        course.Execute(QStringLiteral("Create Table tblNote(FContentID INTEGER, FNote TEXT)"));
        QVERIFY(s.form.close());
        QCOMPARE(course.Notes(), (QList<QPair<int, QString>>{{1, "precious"}}));
    }

private:
    RecordingMessages m_messages;
    QStringList m_errorBoxes;
};

VELTRA_APP_TEST_MAIN(StudyPagesTest)

#include "StudyPagesTest.moc"
