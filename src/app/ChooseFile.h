#pragma once

#include <QString>

#include <optional>

class QWidget;

// The file chooser of the dialogs that read a file the learner names. The
// standard one is Qt's open-file dialog, starting in the folder of the last
// file chosen; tests install their own. GUI thread only.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The file the learner picked, nothing on cancel. `filter` as Qt's file
    // dialog takes it ("录音 (*.mp3 *.wav)").
    virtual std::optional<QString> choose(QWidget* owner, const QString& title, const QString& filter) = 0;
};

// Installs `chooser` (not owned); nullptr restores the standard dialog.
void InstallFileChooser(FileChooser* chooser);

std::optional<QString> ChooseFile(QWidget* owner, const QString& title, const QString& filter);

// Installs a chooser for the lifetime of the guard.
class ScopedFileChooser {
public:
    explicit ScopedFileChooser(FileChooser* chooser) { InstallFileChooser(chooser); }
    ~ScopedFileChooser() { InstallFileChooser(nullptr); }
    ScopedFileChooser(const ScopedFileChooser&) = delete;
    ScopedFileChooser& operator=(const ScopedFileChooser&) = delete;
};
