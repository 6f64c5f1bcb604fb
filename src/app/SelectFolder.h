#pragma once

#include <QString>

#include <optional>

class QWidget;

// The folder browser of the export. The standard one is Qt's directory
// dialog; tests install their own. GUI thread only.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The folder the learner picked, nothing on cancel. `start` is an existing
    // folder to preselect, or empty.
    virtual std::optional<QString> choose(QWidget* owner, const QString& title, const QString& start) = 0;
};

// Installs `chooser` (not owned); nullptr restores the standard dialog.
void InstallFolderChooser(FolderChooser* chooser);

// Asks for a folder with `title`, offering directories only and preselecting
// `folder` when it names an existing directory. True with `folder` set to the
// choice; false on cancel, with `folder` cleared if it named no directory.
bool SelectFolder(QWidget* owner, const QString& title, QString& folder);

// Installs a chooser for the lifetime of the guard.
class ScopedFolderChooser {
public:
    explicit ScopedFolderChooser(FolderChooser* chooser) { InstallFolderChooser(chooser); }
    ~ScopedFolderChooser() { InstallFolderChooser(nullptr); }
    ScopedFolderChooser(const ScopedFolderChooser&) = delete;
    ScopedFolderChooser& operator=(const ScopedFolderChooser&) = delete;
};
