#pragma once

#include <cstdint>
#include <vector>

// The lowest and the highest sample value inside one column of a waveform
// picture, over all channels.
struct PeakColumn {
    float low = 0.0f;
    float high = 0.0f;
};

// Minimum and maximum per pixel column of a stretch of `frames` frames spread
// evenly over `columns` columns: column c covers frames
// [c·frames/columns, (c+1)·frames/columns), at least one frame, so a stretch
// shorter than the picture shows each frame over several columns.
//
// The stretch is fed in order, in blocks of any size, so a long recording is
// never held whole. Pure computation: one thread at a time.
class WaveformPeaks {
public:
    WaveformPeaks(int64_t frames, int columns);

    // The next `count` frames of the stretch, interleaved `channels` samples
    // per frame. Frames past the stretch's end are ignored.
    void Add(const float* interleaved, int64_t count, int channels);
    // Passes over the next `count` frames, for which there are no samples
    // (time before a recording's start).
    void Skip(int64_t count);

    // One entry per column; a column no frame has reached yet is 0..0.
    std::vector<PeakColumn> Columns() const;
    int64_t FramesSeen() const { return m_seen; }

private:
    int64_t ColumnStart(int64_t column) const;
    int64_t ColumnEnd(int64_t column) const;

    int64_t m_frames;
    int64_t m_seen = 0;
    std::vector<PeakColumn> m_columns;
    std::vector<bool> m_reached;
};

// The peaks of a stretch held whole in memory.
std::vector<PeakColumn> ComputeWaveformPeaks(const float* interleaved, int64_t frames, int channels, int columns);
