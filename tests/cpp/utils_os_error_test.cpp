// Debug form of operating-system errors.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "utils/os_error.h"

namespace vantor {
namespace {

TEST(OsError, DebugForms) {
    EXPECT_EQ(os_error_debug(ENOENT),
              "Os { code: 2, kind: NotFound, message: \"No such file or directory\" }");
    EXPECT_EQ(os_error_debug(EACCES),
              "Os { code: 13, kind: PermissionDenied, message: \"Permission denied\" }");
    EXPECT_EQ(os_error_debug(EISDIR),
              "Os { code: 21, kind: IsADirectory, message: \"Is a directory\" }");
    EXPECT_EQ(os_error_debug(EBADF),
              "Os { code: 9, kind: Uncategorized, message: \"Bad file descriptor\" }");
}

TEST(OsError, Kinds) {
    const struct {
        int err;
        const char* kind;
    } rows[] = {
        {ENOENT, "NotFound"},          {EACCES, "PermissionDenied"},
        {EPERM, "PermissionDenied"},   {EISDIR, "IsADirectory"},
        {ENOTDIR, "NotADirectory"},    {ELOOP, "FilesystemLoop"},
        {ENAMETOOLONG, "InvalidFilename"}, {EINVAL, "InvalidInput"},
        {EINTR, "Interrupted"},        {EAGAIN, "WouldBlock"},
        {ENOMEM, "OutOfMemory"},       {ENOSPC, "StorageFull"},
        {EPIPE, "BrokenPipe"},         {EBUSY, "ResourceBusy"},
        {EROFS, "ReadOnlyFilesystem"}, {EFBIG, "FileTooLarge"},
        {EEXIST, "AlreadyExists"},     {ETXTBSY, "ExecutableFileBusy"},
        {EIO, "Uncategorized"},        {EXDEV, "Uncategorized"},
    };
    for (const auto& r : rows) {
        EXPECT_STREQ(os_error_kind(r.err), r.kind) << r.err;
        EXPECT_EQ(os_error_debug(r.err), "Os { code: " + std::to_string(r.err) + ", kind: " +
                                             r.kind + ", message: \"" + std::strerror(r.err) +
                                             "\" }");
    }
}

}  // namespace
}  // namespace vantor
