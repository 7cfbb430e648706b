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
    pending_.clear();
    return step();
}

bool MemoryFile::write(std::string_view bytes)
{
    if (!step())
        return false;
    pending_ += bytes;
    return true;
}

bool MemoryFile::commit()
{
    if (!step())
        return false;
    committed = std::move(pending_);
    pending_.clear();
    return true;
}

} // namespace qor
