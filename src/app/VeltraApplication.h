#pragma once

#include <QApplication>
#include <QTranslator>

#include <functional>

// The application object. Any exception escaping an event handler, a slot, a
// timer or a queued call ends that handler only: it is caught here, shown once
// in the application's error box (caption "Veltra精读") and the program goes
// on. GUI thread only.
class VeltraApplication final : public QApplication {
    Q_OBJECT
public:
    using ErrorBox = std::function<void(const QString& text)>;

    // Also installs itself as the handlers' error report.
    VeltraApplication(int& argc, char** argv);
    ~VeltraApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the error box (tests record instead of showing).
    void SetErrorBox(ErrorBox box);

    // Shows `text` in the error box. Safe to call from inside another
    // handler's failure: a nested failure is not shown twice.
    void ReportError(const QString& text);

    static VeltraApplication* Instance();

private:
    QTranslator m_qtTranslator;  // standard buttons in Chinese
    ErrorBox m_errorBox;
    bool m_reporting = false;
};

// The standard error box: OK button, error icon, caption "Veltra精读".
// Without a visible screen it goes to standard error.
void ShowApplicationErrorBox(const QString& text);

// Qt's own texts (standard buttons, command-line errors) in Chinese, the
// whole interface's language, whatever the desktop's. False when the
// translation is not installed.
bool LoadQtChinese(QTranslator& translator);

// Whether Qt has a window system to start on: a platform named
// (QT_QPA_PLATFORM, -platform) or a display to connect to (DISPLAY,
// WAYLAND_DISPLAY). Without one, creating the application aborts. For
// main(), before the application exists.
bool WindowSystemGiven(int argc, char** argv);

// False on the offscreen and minimal platforms, where nobody could see or
// answer a box: a modal box there would wait for ever.
bool CanShowWindows();
