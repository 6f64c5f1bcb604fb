#include "data/Messages.h"

#include <cstdio>

namespace {

class StderrMessages final : public Messages {
public:
    void info(const QString& text) override { print("提示", text); }
    void error(const QString& text) override { print("错误", text); }
    bool askYesNo(const QString& text) override
    {
        print("确认", text);
        return false;
    }

private:
    static void print(const char* caption, const QString& text)
    {
        std::fprintf(stderr, "%s: %s\n", caption, text.toUtf8().constData());
    }
};

StderrMessages g_stderrMessages;
Messages* g_messages = &g_stderrMessages;

} // namespace

void InstallMessages(Messages* messages)
{
    g_messages = messages ? messages : &g_stderrMessages;
}

void ShowInfo(const QString& text) { g_messages->info(text); }
void ShowError(const QString& text) { g_messages->error(text); }
bool AskYesNo(const QString& text) { return g_messages->askYesNo(text); }
