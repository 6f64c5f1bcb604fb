#pragma once

#include <QString>

// "第一册" .. "第四册" for books 1..4, empty for any other number. Any thread.
QString BookName(int book);
