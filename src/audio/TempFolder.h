#pragma once

#include <QString>

// The program's own folder for temporary files (lesson MP3s, word WAVs):
// "veltra-<user id>" under the system's temporary folder, readable by its
// owner alone. Each call looks at the temporary folder afresh.

// The folder, made when missing. Empty when it cannot be made, or when the
// name is taken by something that is not a folder of this user's.
QString ProgramTempFolder();

// Deletes everything inside the folder: what a run that crashed left behind.
// Only the holder of the single-instance lock may call it, since a running
// instance's files live there too.
void EmptyProgramTempFolder();
