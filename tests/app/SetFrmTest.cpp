#include "DialogFixture.h"

#include "app/SetFrm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

class SetFrmTest : public QObject {
    Q_OBJECT

private slots:
    void sliderEndsShowPercentages()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        TSetForm form(nullptr, *fixture.dm);
        auto* slider = Child<QSlider>(form, "kznTBO");
        auto* percent = Child<QLabel>(form, "Label3");
        QTest::keyClick(slider, Qt::Key_Home);
        QCOMPARE(slider->value(), 8);
        QCOMPARE(percent->text(), QStringLiteral("80%"));
        QTest::keyClick(slider, Qt::Key_End);
        QCOMPARE(slider->value(), 12);
        QCOMPARE(percent->text(), QStringLiteral("120%"));
    }

    void emptyOptionTableOpensWithDefaults()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        TSetForm form(nullptr, *fixture.dm);
        QCOMPARE(Child<QSlider>(form, "kznTBO")->value(), 10);
        QCOMPARE(Child<QLabel>(form, "Label3")->text(), QStringLiteral("100%"));
        QCOMPARE(Child<QSpinBox>(form, "SpinEdit1")->value(), 1);
        QCOMPARE(Child<QSpinBox>(form, "SpinEdit2")->value(), 1);
        QVERIFY(!Child<QCheckBox>(form, "cbSpeak")->isChecked());
        QVERIFY(!Child<QCheckBox>(form, "cbTestHint")->isChecked());
        QVERIFY(!Child<QCheckBox>(form, "cbKeepPitch")->isChecked());
    }

    void okWritesAllSixOptions()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        QCOMPARE(fixture.OptionRowCount(), 0);
        WhenModalShown([](QDialog& dialog) { Child<QPushButton>(dialog, "btnOk")->click(); });
        QVERIFY(ShowSettings(nullptr, *fixture.dm));

        TDM& dm = *fixture.dm;
        QCOMPARE(fixture.OptionRowCount(), 6);
        QCOMPARE(dm.ReadOption(QStringLiteral("Speed")), QStringLiteral("10"));
        QCOMPARE(dm.ReadOption(QStringLiteral("TestHint")), QStringLiteral("0"));
        QCOMPARE(dm.ReadOption(QStringLiteral("NextTime")), QStringLiteral("1"));
        QCOMPARE(dm.ReadOption(QStringLiteral("SpeakCount")), QStringLiteral("1"));
        QCOMPARE(dm.ReadOption(QStringLiteral("FirstSen")), QStringLiteral("0"));
        QCOMPARE(dm.ReadOption(QStringLiteral("KeepPitch")), QStringLiteral("0"));

        // Each control lands in its own option and cache value.
        WhenModalShown([](QDialog& dialog) {
            Child<QSlider>(dialog, "kznTBO")->setValue(9);
            Child<QCheckBox>(dialog, "cbTestHint")->setChecked(true);
            Child<QSpinBox>(dialog, "SpinEdit1")->setValue(4);
            Child<QSpinBox>(dialog, "SpinEdit2")->setValue(3);
            Child<QCheckBox>(dialog, "cbSpeak")->setChecked(true);
            Child<QCheckBox>(dialog, "cbKeepPitch")->setChecked(true);
            Child<QPushButton>(dialog, "btnOk")->click();
        });
        QVERIFY(ShowSettings(nullptr, dm));
        QCOMPARE(fixture.OptionRowCount(), 6);
        QCOMPARE(dm.ReadOption(QStringLiteral("Speed")), QStringLiteral("9"));
        QCOMPARE(dm.ReadOption(QStringLiteral("TestHint")), QStringLiteral("1"));
        QCOMPARE(dm.ReadOption(QStringLiteral("NextTime")), QStringLiteral("4"));
        QCOMPARE(dm.ReadOption(QStringLiteral("SpeakCount")), QStringLiteral("3"));
        QCOMPARE(dm.ReadOption(QStringLiteral("FirstSen")), QStringLiteral("1"));
        QCOMPARE(dm.ReadOption(QStringLiteral("KeepPitch")), QStringLiteral("1"));
        QCOMPARE(dm.OptSpeed, 9);
        QVERIFY(dm.OptTestHint);
        QCOMPARE(dm.OptSpeakCount, 3);
        QVERIFY(dm.OptFirstSen);
        QVERIFY(dm.OptKeepPitch);

        // The dialog opens with what is stored.
        TSetForm again(nullptr, dm);
        QVERIFY(Child<QCheckBox>(again, "cbKeepPitch")->isChecked());
        QVERIFY(fixture.messages.entries.empty());
    }

    // The pitch box sits in free space: whole, and clear of every other control.
    void keepPitchBoxFitsBesideTheOthers()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        TSetForm form(nullptr, *fixture.dm);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* page = Child<QWidget>(form, "tsNormal");
        auto* box = Child<QCheckBox>(form, "cbKeepPitch");
        const QRect boxRect(box->mapTo(page, QPoint(0, 0)), box->size());
        QVERIFY(page->rect().contains(boxRect));
        QVERIFY(box->width() >= box->sizeHint().width());
        QVERIFY(box->height() >= box->sizeHint().height());
        for (QWidget* other : page->findChildren<QWidget*>()) {
            if (other == box || other->isAncestorOf(box) || box->isAncestorOf(other) || !other->isVisible())
                continue;
            const QRect otherRect(other->mapTo(page, QPoint(0, 0)), other->size());
            QVERIFY2(!boxRect.intersects(otherRect), qPrintable(other->objectName() + other->metaObject()->className()));
        }
    }

    // Typing goes into the box as it is; leaving the box settles the number.
    void numberBoxSettlesWhenLeft_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("settled");
        QTest::newRow("pause above range") << "SpinEdit1" << "25" << 20;
        QTest::newRow("pause in range") << "SpinEdit1" << "7" << 7;
        QTest::newRow("pause emptied") << "SpinEdit1" << "" << 0;
        QTest::newRow("pause long number") << "SpinEdit1" << "99999999999" << 20;
        QTest::newRow("pause letters and signs refused") << "SpinEdit1" << "x-.5" << 5;
        QTest::newRow("plays below range") << "SpinEdit2" << "0" << 1;
        QTest::newRow("plays emptied") << "SpinEdit2" << "" << 1;
    }

    void numberBoxSettlesWhenLeft()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, settled);
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        TSetForm form(nullptr, *fixture.dm);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto* spin = Child<QSpinBox>(form, box.toLatin1().constData());
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(spin, Qt::Key_Delete);
        QTest::keyClicks(spin, typed);
        Child<QCheckBox>(form, "cbSpeak")->setFocus();
        QCOMPARE(spin->value(), settled);
        QCOMPARE(spin->text(), QString::number(settled));
    }

    void arrowsStepByOneWithinRange()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        TSetForm form(nullptr, *fixture.dm);
        auto* pause = Child<QSpinBox>(form, "SpinEdit1");
        QTest::keyClick(pause, Qt::Key_Up);
        QCOMPARE(pause->value(), 2);
        QTest::keyClick(pause, Qt::Key_Down);
        QTest::keyClick(pause, Qt::Key_Down);
        QTest::keyClick(pause, Qt::Key_Down);
        QCOMPARE(pause->value(), 0);
        pause->setValue(20);
        QTest::keyClick(pause, Qt::Key_Up);
        QCOMPARE(pause->value(), 20);
    }

    void unstoredCheckBoxIsClearOnEveryOpening()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        WhenModalShown([](QDialog& dialog) {
            Child<QCheckBox>(dialog, "cbAction")->setChecked(true);
            Child<QPushButton>(dialog, "btnOk")->click();
        });
        QVERIFY(ShowSettings(nullptr, *fixture.dm));
        bool clearOnReopening = false;
        WhenModalShown([&clearOnReopening](QDialog& dialog) {
            clearOnReopening = !Child<QCheckBox>(dialog, "cbAction")->isChecked();
            Child<QPushButton>(dialog, "btnOk")->click();
        });
        QVERIFY(ShowSettings(nullptr, *fixture.dm));
        QVERIFY(clearOnReopening);
    }

    void cancelWritesNothing()
    {
        DialogFixture fixture;
        QVERIFY(fixture.dm->IsConnected());
        TDM& dm = *fixture.dm;
        WhenModalShown([](QDialog& dialog) {
            Child<QSlider>(dialog, "kznTBO")->setValue(12);
            Child<QSpinBox>(dialog, "SpinEdit1")->setValue(5);
            Child<QSpinBox>(dialog, "SpinEdit2")->setValue(3);
            Child<QCheckBox>(dialog, "cbSpeak")->setChecked(true);
            Child<QCheckBox>(dialog, "cbTestHint")->setChecked(true);
            Child<QCheckBox>(dialog, "cbKeepPitch")->setChecked(true);
            Child<QPushButton>(dialog, "btnCancel")->click();
        });
        QVERIFY(!ShowSettings(nullptr, dm));
        QCOMPARE(fixture.OptionRowCount(), 0);
        QCOMPARE(dm.OptSpeed, 10);
        QCOMPARE(dm.OptSpeakCount, 1);
        QVERIFY(!dm.OptFirstSen);
        QVERIFY(!dm.OptTestHint);
        QVERIFY(!dm.OptKeepPitch);
    }
};

QTEST_MAIN(SetFrmTest)
#include "SetFrmTest.moc"
