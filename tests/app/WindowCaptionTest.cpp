// Window captions as the X server holds them. On X11 Qt may add to a title
// what the offscreen platform never shows, so this test starts an Xvfb of its
// own and runs on the xcb platform; without Xvfb it skips.
#include "AppTestSupport.h"
#include "XvfbDisplay.h"

#include "app/QtMessages.h"
#include "app/SetFrm.h"
#include "data/Messages.h"

#include <QMessageBox>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// The title the window manager reads: _NET_WM_NAME of the X window.
QString XTitle(const QWidget* window)
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return QStringLiteral("<not on X11>");
    xcb_connection_t* connection = x11->connection();
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, xcb_window_t(window->winId()), Atom(connection, "_NET_WM_NAME"),
                         Atom(connection, "UTF8_STRING"), 0, 1024),
        nullptr);
    QString title;
    if (reply)
        title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                  xcb_get_property_value_length(reply));
    free(reply);
    return title;
}

}  // namespace

class WindowCaptionTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("no Xvfb to show windows on");
    }

    void captionsAreExactlyTheirText()
    {
        CourseFixture course;
        QtMessages messages;
        ScopedMessages installed(&messages);
        Session s(course);
        s.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.form));
        QCOMPARE(XTitle(&s.form), QStringLiteral("Veltra精读"));

        TSetForm settings(&s.form, s.dm);
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        QCOMPARE(XTitle(&settings), QStringLiteral("设置"));
        settings.close();

        QString boxTitle;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                boxTitle = QStringLiteral("<no message box>");
                return;
            }
            boxTitle = QTest::qWaitForWindowExposed(box) ? XTitle(box) : QStringLiteral("<not shown>");
            if (box->textFormat() != Qt::PlainText)  // messages carry paths and words
                boxTitle = QStringLiteral("<rich text>");
            box->accept();
        });
        ShowInfo(QStringLiteral("完成"));
        QCOMPARE(boxTitle, QStringLiteral("提示"));
    }
};

VELTRA_XVFB_APP_TEST_MAIN(WindowCaptionTest)

#include "WindowCaptionTest.moc"
