#pragma once

// Shared pieces of the window tests: a data module and main window on a
// course, and a test main that runs under the program's application object
// (the one that catches handler failures).

#include "CourseFixture.h"

#include "app/AppFonts.h"
#include "app/MainFrm.h"
#include "app/VeltraApplication.h"
#include "data/DMUnit.h"

#include <QTest>

struct Session {
    explicit Session(const CourseFixture& course)
        : dm(course.DataDir())
        , form(dm)
    {
    }
    TDM dm;
    TMainForm form;
};

#define VELTRA_APP_TEST_MAIN(TestClass)                \
    int main(int argc, char** argv)                    \
    {                                                  \
        VeltraApplication app(argc, argv);             \
        InstallFontSubstitutions();                    \
        QApplication::setFont(SongTiFont(12));         \
        TestClass test;                                \
        return QTest::qExec(&test, argc, argv);        \
    }
