// Window captions as the X server holds them. On X11 Qt may add to a title
// what the offscreen platform never shows, so this test starts an Xvfb of its
// own and runs on the xcb platform; without Xvfb it skips.
#include "AppTestSupport.h"

#include "app/QtMessages.h"
#include "app/SetFrm.h"
#include "data/Messages.h"

#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

QProcess* g_xvfb = nullptr;

// Starts Xvfb on a display it picks itself; false when there is none.
bool StartXvfb()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return false;
    g_xvfb = new QProcess;
    g_xvfb->start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("1024x768x24")});
    if (!g_xvfb->waitForStarted(10000))
        return false;
    QByteArray display;
    while (!display.contains('\n') && g_xvfb->waitForReadyRead(30000))
        display += g_xvfb->readAllStandardOutput();
    if (!display.contains('\n'))
        return false;
    qputenv("DISPLAY", ":" + display.trimmed());
    return true;
}

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

VELTRA_QTEST_MAIN(WindowCaptionTest)
{
    const bool onX = StartXvfb();
    qputenv("QT_QPA_PLATFORM", onX ? "xcb" : "offscreen");
    int result = 0;
    {
        VeltraApplication app(argc, argv);
        InstallFontSubstitutions();
        QApplication::setFont(SongTiFont(12));
        WindowCaptionTest test;
        result = QTest::qExec(&test, argc, argv);
    }
    if (g_xvfb) {
        g_xvfb->terminate();
        g_xvfb->waitForFinished(5000);
        delete g_xvfb;
    }
    return result;
}

#include "WindowCaptionTest.moc"
