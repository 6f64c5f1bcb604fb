#pragma once

#include <QString>

// How the program tells the learner something. The application installs the
// message-box implementation; tests and the command-line tool install their
// own. Called on the GUI thread only.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void info(const QString& text) = 0;      // caption "提示", information icon
    virtual void error(const QString& text) = 0;     // caption "错误", error icon
    virtual bool askYesNo(const QString& text) = 0;  // caption "确认", Yes/No; true only for Yes
};

// Installs `messages` (not owned) behind ShowInfo/ShowError/AskYesNo.
// nullptr restores the default, which writes to standard error and answers No.
void InstallMessages(Messages* messages);

void ShowInfo(const QString& text);
void ShowError(const QString& text);
bool AskYesNo(const QString& text);

// Installs a Messages implementation for the lifetime of the guard.
class ScopedMessages {
public:
    explicit ScopedMessages(Messages* messages) { InstallMessages(messages); }
    ~ScopedMessages() { InstallMessages(nullptr); }
    ScopedMessages(const ScopedMessages&) = delete;
    ScopedMessages& operator=(const ScopedMessages&) = delete;
};
