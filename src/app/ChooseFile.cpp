#include "app/ChooseFile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

class OpenFileDialog final : public FileChooser {
public:
    std::optional<QString> choose(QWidget* owner, const QString& title, const QString& filter) override
    {
        // A recording and its texts usually lie side by side.
        const QString chosen = QFileDialog::getOpenFileName(
            owner, title, m_folder.isEmpty() ? QDir::homePath() : m_folder, filter);
        if (chosen.isEmpty())
            return std::nullopt;
        m_folder = QFileInfo(chosen).absolutePath();
        return chosen;
    }

private:
    QString m_folder;
};

OpenFileDialog g_openFileDialog;
FileChooser* g_chooser = &g_openFileDialog;

} // namespace

void InstallFileChooser(FileChooser* chooser)
{
    g_chooser = chooser ? chooser : &g_openFileDialog;
}

std::optional<QString> ChooseFile(QWidget* owner, const QString& title, const QString& filter)
{
    return g_chooser->choose(owner, title, filter);
}
