#include "audio/Mp3Memory.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

ssize_t ReadMemory(void* source, void* buffer, size_t bytes)
{
    auto* m = static_cast<Mp3Memory*>(source);
    const int64_t n = std::clamp<int64_t>(m->bytes.size() - m->pos, 0, static_cast<int64_t>(bytes));
    std::memcpy(buffer, m->bytes.constData() + m->pos, static_cast<size_t>(n));
    m->pos += n;
    return static_cast<ssize_t>(n);
}

off_t SeekMemory(void* source, off_t offset, int whence)
{
    auto* m = static_cast<Mp3Memory*>(source);
    int64_t base = 0;
    if (whence == SEEK_CUR)
        base = m->pos;
    else if (whence == SEEK_END)
        base = m->bytes.size();
    const int64_t target = base + offset;
    if (target < 0 || target > m->bytes.size())
        return -1;
    m->pos = target;
    return static_cast<off_t>(target);
}

} // namespace

void Mpg123Deleter::operator()(mpg123_handle_struct* handle) const
{
    mpg123_close(handle);
    mpg123_delete(handle);
}

Mpg123Handle NewMpg123Handle()
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    return Mpg123Handle(mpg123_new(nullptr, nullptr));
}

bool OpenMp3Memory(mpg123_handle_struct* handle, Mp3Memory& memory)
{
    memory.pos = 0;
    return mpg123_replace_reader_handle(handle, ReadMemory, SeekMemory, nullptr) == MPG123_OK
        && mpg123_open_handle(handle, &memory) == MPG123_OK;
}
