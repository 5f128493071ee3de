#include "utils/os_error.h"

#include <cerrno>
#include <cstring>

namespace vantor {

const char* os_error_kind(int e) {
    switch (e) {
        case ENOENT: return "NotFound";
        case EACCES:
        case EPERM: return "PermissionDenied";
        case EISDIR: return "IsADirectory";
        case ENOTDIR: return "NotADirectory";
        case ELOOP: return "FilesystemLoop";
        case ENAMETOOLONG: return "InvalidFilename";
        case EINVAL: return "InvalidInput";
        case EINTR: return "Interrupted";
        case EAGAIN: return "WouldBlock";
        case ENOMEM: return "OutOfMemory";
        case ENOSPC: return "StorageFull";
        case EPIPE: return "BrokenPipe";
        case EBUSY: return "ResourceBusy";
        case EROFS: return "ReadOnlyFilesystem";
        case EFBIG: return "FileTooLarge";
        case EEXIST: return "AlreadyExists";
        case ETXTBSY: return "ExecutableFileBusy";
        default: return "Uncategorized";
    }
}

std::string os_error_debug(int e) {
    return "Os { code: " + std::to_string(e) + ", kind: " + os_error_kind(e) +
           ", message: \"" + std::strerror(e) + "\" }";
}

}  // namespace vantor
