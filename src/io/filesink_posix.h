#pragma once
// The system calls through which the POSIX sink writes and syncs, so that a
// test can make one of them fail for real (a sync that reports an I/O error)
// while everything else runs as it does for the user.

#include <sys/types.h>

#include <cstddef>

namespace qor
{

struct SystemCalls {
    ssize_t (*write)(int fd, const void *bytes, std::size_t size);
    int (*syncData)(int fd);   // fdatasync where the system has it
    int (*syncFolder)(int fd); // fsync of the folder after the rename
};

// The system's own calls.
const SystemCalls &systemCalls();

} // namespace qor
