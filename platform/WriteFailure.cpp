#include "platform/WriteFailure.h"

#include <cerrno>
#include <cstring>

namespace Varn {

std::string WriteFailureText(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return "the disk is full";
        case EACCES:
        case EPERM:
            return "the folder cannot be written";
        case EROFS:
            return "the disk is read-only";
        case ENAMETOOLONG:
            return "the folder's path is too long";
        case ENOENT:
        case ENOTDIR:
            return "the folder is missing";
        case EIO:
            return "the disk reported an error";
        default:
            return std::strerror(error);
    }
}

}  // namespace Varn
