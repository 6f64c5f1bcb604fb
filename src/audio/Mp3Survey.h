#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The Xing/Info frame an encoder puts first in a layer III stream: how many
// audio frames follow it, and the encoder's delay and padding in samples
// (-1 where the tag states none).
struct Mp3InfoTag {
    int64_t frames = -1;
    int delay = -1;
    int padding = -1;
};

// Reads an info tag from the body of a layer III frame (the bytes after its
// four-byte header). Nothing when the frame is ordinary audio.
std::optional<Mp3InfoTag> ReadMp3InfoTag(const unsigned char* body, size_t size, bool mpeg1, bool mono, bool crc);

// What a walk over every frame of an MP3 held in memory finds, without
// decoding any of them.
struct Mp3Survey {
    int64_t frames = 0;        // every frame, an info frame at the start included
    int64_t frameBytes = 0;    // bytes those frames occupy
    int64_t firstFrame = 0;    // offset of the first frame (after tags and junk)
    int samplesPerFrame = 0;   // of the first frame
    // The first frame with another rate, channel count or layer (and so
    // length) than the first frame's; 0 when every frame has the same.
    int64_t formatChange = 0;
    std::optional<Mp3InfoTag> tag;  // when the first frame is an info frame
};

// Nothing when no frame is found. Pure function: callable from any thread.
std::optional<Mp3Survey> SurveyMp3(const QByteArray& bytes);
