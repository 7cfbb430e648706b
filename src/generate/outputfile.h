#pragma once
// Where a press puts its bytes. The real sink replaces description.ext
// atomically; memory and fault-injecting sinks stand in for it in tests.
//
// A press calls open() once, write() once per line, then commit(). After any
// false result it calls nothing more on the sink, and the sink must leave the
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
    virtual bool write(std::string_view bytes) = 0;
    virtual bool commit() = 0;
    // Full path named in the failure message.
    virtual std::string path() const = 0;
    // The system's reason for the last failure, e.g. "Permission denied".
    virtual std::string errorString() const = 0;
};

} // namespace qor
