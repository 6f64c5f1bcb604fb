#pragma once

#include "audio/WavFile.h"

#include <QByteArray>

#include <optional>

// beginMs..endMs of an MP3 decoded, bounded as the lesson audio bounds a
// sentence it plays: the span is clamped to the recording, and an end not
// after the beginning runs to the recording's end. Nothing when the bytes
// are no MP3 the decoder can play. Pure: callable from any thread.
std::optional<PcmAudio> DecodeMp3Span(const QByteArray& mp3, int beginMs, int endMs);
