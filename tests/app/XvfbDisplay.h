#pragma once

// An Xvfb of the test's own, on a display it picks itself, for tests that
// need what the offscreen platform never shows: window titles as X holds
// them, dialogs that exist only where windows can be seen. Start it before
// the application object; QT_QPA_PLATFORM is set to xcb while it runs, to
// offscreen where there is no Xvfb.
#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>

class XvfbDisplay {
public:
    XvfbDisplay()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        bool running = false;
        if (!xvfb.isEmpty()) {
            m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                  QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                                  QStringLiteral("1024x768x24")});
            QByteArray display;
            if (m_server.waitForStarted(10000))
                while (!display.contains('\n') && m_server.waitForReadyRead(30000))
                    display += m_server.readAllStandardOutput();
            running = display.contains('\n');
            if (running)
                qputenv("DISPLAY", ":" + display.trimmed());
        }
        qputenv("QT_QPA_PLATFORM", running ? "xcb" : "offscreen");
    }
    ~XvfbDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

private:
    QProcess m_server;
};

// The main of a test class whose windows go to an Xvfb of its own; the rest
// as VELTRA_APP_TEST_MAIN (AppTestSupport.h) has it.
#define VELTRA_XVFB_APP_TEST_MAIN(TestClass)    \
    VELTRA_QTEST_MAIN(TestClass)                \
    {                                           \
        const XvfbDisplay display;              \
        VeltraApplication app(argc, argv);      \
        InstallFontSubstitutions();             \
        QApplication::setFont(SongTiFont(12));  \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
