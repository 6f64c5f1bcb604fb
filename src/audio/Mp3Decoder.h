#pragma once

#include "audio/Mp3Memory.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

// Streams an MP3 held in memory through libmpg123: 32-bit float output in
// one format for the whole file, encoder delay and padding trimmed as the
// leading info frame states them, and a seek index scanned at open so
// seeking lands on the exact sample. Nothing is decoded before the first
// read.
//
// Positions are counted on the file's own decoded time line, so a seek and
// playback straight from the start agree on every frame, whatever the file
// holds after its first frame: a change of rate or channels (resampled and
// mixed to the first frame's format), a second file's info frame (decoded as
// the silent frame it is), or a cut in the middle of a frame.
//
// Threads: open() and destruction on the GUI thread. seek() and read() may
// run on any one thread at a time; the lesson voice calls seek() on the GUI
// thread inside the mixer's lock and read() on the audio thread.
class Mp3Decoder {
public:
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // nullptr when `bytes` are not a consistent MP3 stream the decoder can
    // play. The bytes are shared, not copied.
    static std::unique_ptr<Mp3Decoder> open(const QByteArray& bytes);

    int rate() const { return m_rate; }
    // The MP3 it decodes (shared, not copied).
    const QByteArray& bytes() const { return m_memory.bytes; }
    int channels() const { return m_channels; }
    int64_t lengthFrames() const { return m_length; }

    // Moves to `frame` (clamped to 0..lengthFrames()); false on a decoder error.
    bool seek(int64_t frame);
    // Decodes up to `frames` interleaved frames into `out`; fewer only at
    // the end of the recording or on a damaged frame.
    long read(float* out, long frames);

private:
    Mp3Decoder() = default;
    int64_t countDecodedFrames(int64_t beforeChange);

    Mp3Memory m_memory;
    Mpg123Handle m_handle;
    int m_rate = 0;
    int m_channels = 0;
    int64_t m_begin = 0;     // decoded frames before the recording's first
    int64_t m_length = 0;
    int64_t m_position = 0;
};
