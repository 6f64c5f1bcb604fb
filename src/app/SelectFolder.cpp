#include "app/SelectFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

class DirectoryDialog final : public FolderChooser {
public:
    std::optional<QString> choose(QWidget* owner, const QString& title, const QString& start) override
    {
        // The dialog is modal, so the program's other windows wait while it is up.
        const QString chosen = QFileDialog::getExistingDirectory(
            owner, title, start.isEmpty() ? QDir::homePath() : start, QFileDialog::ShowDirsOnly);
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen;
    }
};

DirectoryDialog g_directoryDialog;
FolderChooser* g_folderChooser = &g_directoryDialog;

} // namespace

void InstallFolderChooser(FolderChooser* chooser)
{
    g_folderChooser = chooser ? chooser : &g_directoryDialog;
}

bool SelectFolder(QWidget* owner, const QString& title, QString& folder)
{
    if (!QFileInfo(folder).isDir())
        folder.clear();
    const std::optional<QString> chosen = g_folderChooser->choose(owner, title, folder);
    if (!chosen)
        return false;
    folder = *chosen;
    return true;
}
