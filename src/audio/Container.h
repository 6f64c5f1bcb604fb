#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Audio containers: a signed 32-bit little-endian length N followed by one
// zlib stream whose first N inflated bytes are the audio file. Nothing in a
// container says what it holds; the caller picks the unpacked extension.
// None of these functions shows a message or throws; failure is an empty or
// absent result. They touch no shared state: callable from any thread.

// The audio file held in `container`, or nothing when the length is negative
// or more than the stream could possibly inflate to, the stream is damaged or
// ends before N bytes. Bytes the stream yields beyond N and its checksum are
// ignored. Memory use is bounded by what the input can inflate to.
std::optional<QByteArray> UnpackContainer(const QByteArray& container);

// The same for a container file; the file is read in pieces, never whole.
std::optional<QByteArray> UnpackContainerFile(const QString& containerPath);

// A new, empty file in the program's temporary folder (ProgramTempFolder) named
// "tmpXXXXXX.tmp" + extension (e.g. ".mp3"), or empty on failure. The file is
// created exclusively, so no other process can claim the name before the
// caller writes it; the caller owns and deletes it.
QString MakeTempFileName(const QString& extension);

// Unpacks into a fresh temporary file (see MakeTempFileName) and returns its
// path, or empty. A failed unpacking leaves nothing in the temporary folder.
QString UnpackToTempFile(const QString& containerPath, const QString& extension);

// Unpacks into folder/fileName, creating the folder (and its parents) when the
// container is usable, and replacing an existing file only once the new
// content is complete. Returns the written path, or empty. When the container
// was usable but the file could not be written, `writeError` (when given)
// receives the system's reason; it is left alone for a missing or damaged
// container.
QString UnpackToFolder(const QString& containerPath, const QString& folder, const QString& fileName,
                       QString* writeError = nullptr);

// The inverse, for course builders: a container holding `audio`, or an empty
// array when `audio` is too large for the length field.
QByteArray PackContainer(const QByteArray& audio);
