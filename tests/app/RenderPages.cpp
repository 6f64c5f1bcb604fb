// Renders every page of the main window, each exercise after a draw and after
// marking, the menus and the about box to PNG files, for looking at the
// layout without a screen:
//   QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy build/veltra-render-pages build/Data build/screenshots
#include "app/AppFonts.h"
#include "app/ExercisePages.h"
#include "app/MainFrm.h"
#include "app/SenWritePage.h"
#include "app/VeltraApplication.h"
#include "app/WordSelectPage.h"
#include "app/WordWritePage.h"
#include "app/WrapRadioButton.h"
#include "controls/QorSenMemo.h"
#include "controls/kznLabelEdit.h"
#include "data/DMUnit.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget* widget, const QDir& out, const QString& name)
{
    QCoreApplication::processEvents();
    const QString file = out.filePath(name + QStringLiteral(".png"));
    const bool saved = widget->grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
    return saved;
}

// Each exercise after a draw and after marking, with some answers right and
// some wrong.
bool saveExercises(TMainForm& form, const QDir& out)
{
    TExercisePages& exercises = form.Exercises();
    exercises.Random().Seed(11);
    bool ok = true;

    form.pcTest->setCurrentWidget(form.tsWordWrite);
    TWordWritePage& write = *exercises.WordWrite();
    write.btnStartClick();
    for (std::size_t i = 0; i < write.DictationEdits.size(); ++i) {
        TkznLabelEdit* edit = write.DictationEdits[i];
        edit->setText(i % 3 == 1 ? edit->Answer().chopped(1) : edit->Answer().toLower());
    }
    ok = save(&form, out, QStringLiteral("exercise1-drawn")) && ok;
    write.btnResultClick();
    ok = save(&form, out, QStringLiteral("exercise1-marked")) && ok;

    form.pcTest->setCurrentWidget(form.tsWordSelect);
    TWordSelectPage& select = *exercises.WordSelect();
    select.StartWordSelection(false);
    select.rbAnswer[0][0]->setChecked(true);
    select.StartWordSelection(true);
    ok = save(&form, out, QStringLiteral("exercise2-drawn")) && ok;
    select.Button17Click();
    ok = save(&form, out, QStringLiteral("exercise2-marked")) && ok;

    form.pcTest->setCurrentWidget(form.tsSenWrite);
    TSenWritePage& sen = *exercises.SenWrite();
    sen.btnSenStartClick();
    QStringList words = sen.nsmSubject[0]->Answer().split(u' ');
    if (words.size() > 2)
        words.removeAt(1);
    sen.nsmSubject[0]->setPlainText(words.join(u' '));
    sen.nsmSubject[1]->setPlainText(sen.nsmSubject[1]->Answer().toUpper());
    ok = save(&form, out, QStringLiteral("exercise3-drawn")) && ok;
    sen.btnSenResultClick();
    ok = save(&form, out, QStringLiteral("exercise3-marked")) && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    VeltraApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <data folder> <output folder>\n", argv[0]);
        return 2;
    }
    const QString dataDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    QDir out(QString::fromLocal8Bit(argv[2]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 2;
    }
    EnsurePhoneticFont(dataDir);
    InstallFontSubstitutions();
    QApplication::setFont(SongTiFont(12));

    TDM dm(dataDir);
    if (!dm.IsConnected())
        return 1;
    TMainForm form(dm);
    if (form.StartupFailed())
        return 1;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;

    bool ok = true;
    for (int page = 0; page < form.pcMain->count(); ++page) {
        form.pcMain->setCurrentIndex(page);
        const QString name = QStringLiteral("page%1-%2").arg(page + 1).arg(form.pcMain->widget(page)->objectName());
        ok = save(&form, out, name) && ok;
    }
    form.pcMain->setCurrentWidget(form.tsTest);
    for (int page = 1; page < form.pcTest->count(); ++page) {
        form.pcTest->setCurrentIndex(page);
        ok = save(&form, out, QStringLiteral("page4-%1").arg(form.pcTest->widget(page)->objectName())) && ok;
    }
    ok = saveExercises(form, out) && ok;
    int menuNumber = 0;
    for (QAction* entry : form.menuBar()->actions()) {
        if (QMenu* menu = entry->menu()) {
            menu->adjustSize();
            ok = save(menu, out, QStringLiteral("menu%1").arg(++menuNumber)) && ok;
        }
    }
    if (auto* about = form.findChild<QAction*>(QStringLiteral("miAbout"))) {
        about->trigger();
        if (auto* box = form.findChild<QWidget*>(QStringLiteral("AboutBox")))
            ok = save(box, out, QStringLiteral("about")) && ok;
    }
    form.close();
    return ok ? 0 : 1;
}
