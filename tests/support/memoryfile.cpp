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
    if (!step())
        return false;
    committed = bytes;
    return true;
}

} // namespace qor
