#include "app/VeltraApplication.h"

#include "controls/HandlerGuard.h"

#include <QLibraryInfo>
#include <QMessageBox>

#include <cstdio>
#include <cstring>

#include <exception>
#include <utility>

VeltraApplication::VeltraApplication(int& argc, char** argv)
    : QApplication(argc, argv)
    , m_errorBox(ShowApplicationErrorBox)
{
    // No display name: on X11 Qt appends it to every window title.
    setApplicationName(QStringLiteral("Veltra精读"));
    setApplicationVersion(QStringLiteral(VELTRA_VERSION));
    if (LoadQtChinese(m_qtTranslator))
        installTranslator(&m_qtTranslator);
    InstallHandlerErrorReport([this](const QString& text) { ReportError(text); });
}

VeltraApplication::~VeltraApplication()
{
    InstallHandlerErrorReport({});
}

bool VeltraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(QStringLiteral("未知错误"));
    }
    return false;
}

void VeltraApplication::SetErrorBox(ErrorBox box)
{
    m_errorBox = box ? std::move(box) : ErrorBox(ShowApplicationErrorBox);
}

void VeltraApplication::ReportError(const QString& text)
{
    // The box runs its own event loop; a failure inside it must not stack a
    // second box on the first.
    if (m_reporting)
        return;
    m_reporting = true;
    try {
        m_errorBox(text);
    } catch (...) {
    }
    m_reporting = false;
}

VeltraApplication* VeltraApplication::Instance()
{
    return qobject_cast<VeltraApplication*>(QCoreApplication::instance());
}

bool LoadQtChinese(QTranslator& translator)
{
    return translator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool WindowSystemGiven(int argc, char** argv)
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return false;
}

bool CanShowWindows()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QStringLiteral("offscreen") && platform != QStringLiteral("minimal");
}

void ShowApplicationErrorBox(const QString& text)
{
    if (!CanShowWindows()) {
        std::fprintf(stderr, "Veltra精读: %s\n", text.toUtf8().constData());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Veltra精读"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

