#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>

struct mpg123_handle_struct;

// An MP3 held in memory as libmpg123's input. The bytes are shared, not
// copied; the memory must outlive the handle it was opened on.
struct Mp3Memory {
    QByteArray bytes;
    int64_t pos = 0;
};

struct Mpg123Deleter {
    void operator()(mpg123_handle_struct* handle) const;
};
using Mpg123Handle = std::unique_ptr<mpg123_handle_struct, Mpg123Deleter>;

// A fresh decoder handle (the library set up once per process), or nullptr.
Mpg123Handle NewMpg123Handle();

// Points `handle` at `memory`; false when libmpg123 refuses.
bool OpenMp3Memory(mpg123_handle_struct* handle, Mp3Memory& memory);
