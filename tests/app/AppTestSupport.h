#pragma once

// Shared pieces of the window tests: a data module and main window on a
// course, the message and error boxes they raise, and a test main that runs
// under the program's application object (the one that catches handler
// failures).

#include "support/CourseFixture.h"

#include "app/AppFonts.h"
#include "app/MainFrm.h"
#include "app/VeltraApplication.h"
#include "data/DMUnit.h"
#include "support/RecordingMessages.h"

#include <QApplication>
#include <QStringList>
#include <QWidget>

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

// Records the message boxes in `messages` and the error boxes' texts in
// `errorBoxes`, both emptied first, until ReleaseBoxes(). For a test's
// init() and cleanup().
inline void CaptureBoxes(RecordingMessages& messages, QStringList& errorBoxes)
{
    messages = RecordingMessages();
    InstallMessages(&messages);
    errorBoxes.clear();
    VeltraApplication::Instance()->SetErrorBox([&errorBoxes](const QString& text) { errorBoxes << text; });
}

inline void ReleaseBoxes()
{
    VeltraApplication::Instance()->SetErrorBox(nullptr);
    InstallMessages(nullptr);
}

// The page object a page container of the main window holds.
template <typename Page>
Page* PageOf(QWidget* container)
{
    return container->findChild<Page*>(QString(), Qt::FindDirectChildrenOnly);
}

#define VELTRA_APP_TEST_MAIN(TestClass)            \
    VELTRA_QTEST_MAIN(TestClass)                   \
    {                                              \
        VeltraApplication app(argc, argv);         \
        InstallFontSubstitutions();                \
        QApplication::setFont(SongTiFont(12));     \
        TestClass test;                            \
        return QTest::qExec(&test, argc, argv);    \
    }
