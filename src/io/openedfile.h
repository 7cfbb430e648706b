#pragma once
// A snapshot of a file already open, read through its own descriptor or
// handle: the file the sink swapped out, or the one it wrote, is known by
// what it is, never by what its name leads to a moment later.

#include "io/snapshot.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qor::detail
{

#ifdef _WIN32
// Reads from the handle's current position: open it afresh.
Snapshot snapshotOfOpen(HANDLE file, Reading reading);
#else
// Reads from the descriptor's current position: open it afresh.
Snapshot snapshotOfOpen(int file, Reading reading);
#endif

} // namespace qor::detail
