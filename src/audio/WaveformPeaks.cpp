#include "audio/WaveformPeaks.h"

#include <algorithm>

WaveformPeaks::WaveformPeaks(int64_t frames, int columns)
    : m_frames(std::max<int64_t>(frames, 0))
    , m_columns(m_frames > 0 ? static_cast<size_t>(std::max(columns, 0)) : 0)
    , m_reached(m_columns.size(), false)
{
}

int64_t WaveformPeaks::ColumnStart(int64_t column) const
{
    return column * m_frames / static_cast<int64_t>(m_columns.size());
}

int64_t WaveformPeaks::ColumnEnd(int64_t column) const
{
    return std::max(ColumnStart(column + 1), ColumnStart(column) + 1);
}

void WaveformPeaks::Add(const float* interleaved, int64_t count, int channels)
{
    const int64_t columns = static_cast<int64_t>(m_columns.size());
    const int64_t first = m_seen;
    const int64_t end = std::min(m_frames, first + std::max<int64_t>(count, 0));
    if (columns == 0 || channels <= 0 || end <= first) {
        m_seen = std::max(m_seen, end);
        return;
    }
    // The first column that reaches into this block.
    int64_t column = std::min(first * columns / m_frames, columns - 1);
    while (column > 0 && ColumnEnd(column - 1) > first)
        --column;
    while (ColumnEnd(column) <= first)
        ++column;
    for (; column < columns && ColumnStart(column) < end; ++column) {
        const int64_t from = std::max(ColumnStart(column), first);
        const int64_t to = std::min(ColumnEnd(column), end);
        if (from >= to)
            continue;
        const float* begin = interleaved + (from - first) * channels;
        const auto [low, high] = std::minmax_element(begin, begin + (to - from) * channels);
        PeakColumn& peak = m_columns[static_cast<size_t>(column)];
        if (!m_reached[static_cast<size_t>(column)]) {
            peak = {*low, *high};
            m_reached[static_cast<size_t>(column)] = true;
        } else {
            peak.low = std::min(peak.low, *low);
            peak.high = std::max(peak.high, *high);
        }
    }
    m_seen = end;
}

void WaveformPeaks::Skip(int64_t count)
{
    m_seen = std::min(m_frames, m_seen + std::max<int64_t>(count, 0));
}

std::vector<PeakColumn> WaveformPeaks::Columns() const
{
    std::vector<PeakColumn> columns = m_columns;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!m_reached[i])
            columns[i] = {};
    }
    return columns;
}

std::vector<PeakColumn> ComputeWaveformPeaks(const float* interleaved, int64_t frames, int channels, int columns)
{
    WaveformPeaks peaks(frames, columns);
    peaks.Add(interleaved, frames, channels);
    return peaks.Columns();
}
