#include "ImportText.h"

#include <cerrno>
#include <cstring>

ImportText SystemReason(int error)
{
    const QString english = QString::fromLocal8Bit(std::strerror(error));
    // The reasons a learner meets, in the program's words; the rest as the system says them.
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return {english, QStringLiteral("磁盘已满")};
    case EACCES:
    case EPERM:
        return {english, QStringLiteral("没有访问权限")};
    case EROFS:
        return {english, QStringLiteral("磁盘是只读的")};
    case EIO:
        return {english, QStringLiteral("磁盘读写出错")};
    case ENOENT:
        return {english, QStringLiteral("文件不存在")};
    default:
        return {english, english};
    }
}
