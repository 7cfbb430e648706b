#pragma once
// Where a press puts its bytes. The real sink replaces description.ext
// atomically; the memory sink stands in for it in tests.
//
// A press calls open() first, before any check, so that a folder that cannot
// take the file is reported before the count messages; then, once the whole
// file is built in memory, commit() with all of its bytes. After a false
// result it calls nothing more on the sink, and the sink must leave the
// previous file exactly as it was.

#include <string>
#include <string_view>

namespace qor
{

class OutputFile
{
  public:
    virtual ~OutputFile() = default;
    virtual bool open() = 0;
    virtual bool commit(std::string_view bytes) = 0;
    // Full path named in the failure message.
    virtual std::string path() const = 0;
    // The system's reason for the last failure, e.g. "Permission denied".
    virtual std::string errorString() const = 0;
    // After a true commit(): what the user must still know about the file in
    // place (a folder sync that failed after the rename), or nothing.
    virtual std::string notice() const { return {}; }
};

} // namespace qor
