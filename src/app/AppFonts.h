#pragma once

#include <QString>

// Fonts of the windows. GUI thread only, after the application object exists.

// Makes the phonetic font "PDFont1" available: when no installed face has that
// name, loads DataDir + "PDFont1.ttf" into the application. Any failure is
// silent; the phonetic field then shows in a substitute font. Returns the
// loaded application font's id, -1 when nothing was loaded.
int EnsurePhoneticFont(const QString& dataDir);

// Maps the font names the windows ask for ("宋体", "隶书", the grid fonts) to
// installed faces that carry Chinese and IPA glyphs.
void InstallFontSubstitutions();

// The windows' default font: 宋体 at `pixelSize`.
class QFont;
QFont SongTiFont(int pixelSize);
