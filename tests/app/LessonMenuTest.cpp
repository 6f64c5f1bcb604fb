// The lesson selection dialog run from the main window's menu "选择课程".
#include "AppTestSupport.h"
#include "DialogFixture.h"

#include "audio/LessonAudio.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

class LessonMenuTest : public QObject {
    Q_OBJECT

private slots:
    void cancelLeavesLessonHeaderAndAudioUntouched()
    {
        CourseFixture course;
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        Session s(course);
        QCOMPARE(s.dm.CurContentID, 1);
        const QString header = s.form.lblContent->text();
        const QString audioFile = s.form.Audio().lessonAudioFile();
        QVERIFY(QFile::exists(audioFile));

        WhenModalShown([](QDialog& dialog) {
            Child<QTableView>(dialog, "DBGridEh1")->selectRow(2);
            Child<QPushButton>(dialog, "btnCancel")->click();
        });
        s.form.findChild<QAction*>(QStringLiteral("miSelect"))->trigger();

        QCOMPARE(s.dm.CurContentID, 1);
        QCOMPARE(s.form.lblContent->text(), header);
        QCOMPARE(s.form.Audio().lessonAudioFile(), audioFile);
        QVERIFY(QFile::exists(audioFile));
        QVERIFY(messages.entries.empty());
    }

    void chosenLessonReachesHeaderAndAudio()
    {
        CourseFixture course;
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        Session s(course);
        const QString audioFile = s.form.Audio().lessonAudioFile();

        WhenModalShown([](QDialog& dialog) {
            auto* edit = Child<QLineEdit>(dialog, "edtLesson");
            QTest::keyClicks(edit, QStringLiteral("3"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        s.form.findChild<QAction*>(QStringLiteral("miSelect"))->trigger();

        QCOMPARE(s.dm.CurContentID, 3);
        QCOMPARE(s.form.lblContent->text(), QStringLiteral("第一册 - Lesson 3 第3课"));
        QVERIFY(s.form.Audio().hasStream());
        QVERIFY(s.form.Audio().lessonAudioFile() != audioFile);
        QVERIFY(messages.entries.empty());
    }
};

VELTRA_APP_TEST_MAIN(LessonMenuTest)
#include "LessonMenuTest.moc"
