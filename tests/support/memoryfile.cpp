#include "memoryfile.h"

namespace qor
{

bool MemoryFile::step()
{
    if (++operations != failAt)
        return true;
    error_ = reason;
    return false;
}

bool MemoryFile::open()
{
    operations = 0;
    return step();
}

bool MemoryFile::commit(std::string_view bytes)
{
    changed_ = false;
    if (!step())
        return false;
    // As the real sink: the version expected, or no file at all.
    if (expected_ && onDisk && !stillReplaceable(onDisk(), *expected_)) {
        changed_ = true;
        error_ = "Another program changed it while it was written";
        return false;
    }
    committed = bytes;
    if (onDisk) {
        written_ = onDisk();
    } else {
        Snapshot file;
        file.state = Snapshot::State::Read;
        file.size = committed.size();
        written_ = writtenVersion(file, committed);
    }
    return true;
}

} // namespace qor
