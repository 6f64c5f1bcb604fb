#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>

#include <sys/types.h>

struct mpg123_handle_struct;

// Streams an MP3 held in memory through libmpg123: gapless (encoder delay
// and padding trimmed), 32-bit float output, and a seek index scanned at
// open so seeking lands on the exact sample. Nothing is decoded before the
// first read.
//
// Threads: open() and destruction on the GUI thread. seek() and read() may
// run on any one thread at a time; the lesson voice calls seek() on the GUI
// thread inside the mixer's lock and read() on the audio thread.
class Mp3Decoder {
public:
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // nullptr when `bytes` is not an MP3 the decoder can play. The bytes are
    // shared, not copied.
    static std::unique_ptr<Mp3Decoder> open(const QByteArray& bytes);

    int rate() const { return m_rate; }
    int channels() const { return m_channels; }
    int64_t lengthFrames() const { return m_length; }

    // Moves to `frame` (clamped to 0..lengthFrames()); false on a decoder error.
    bool seek(int64_t frame);
    // Decodes up to `frames` interleaved frames into `out`; fewer only at
    // the end of the recording or on a damaged frame.
    long read(float* out, long frames);

private:
    Mp3Decoder() = default;

    struct Reader {
        QByteArray bytes;
        int64_t pos = 0;
    };
    static ssize_t readMemory(void* reader, void* buffer, size_t bytes);
    static off_t seekMemory(void* reader, off_t offset, int whence);

    mpg123_handle_struct* m_handle = nullptr;
    Reader m_reader;
    int m_rate = 0;
    int m_channels = 0;
    int64_t m_length = 0;
};
