#pragma once
// Where a press puts its bytes. The real sink replaces description.ext
// atomically; the memory sink stands in for it in tests.
//
// A press calls open() first, before any check, so that a folder that cannot
// take the file is reported before the count messages; then, once the whole
// file is built in memory, commit() with all of its bytes. After a false
// result it calls nothing more on the sink, and the sink must leave the
// previous file exactly as it was.
//
// A press that asked about the file on disk tells the sink, before commit(),
// which version it let itself replace (expect()). The sink then replaces the
// file only while it is still that version; where another program got there
// first, it writes nothing, keeps the other program's file and says changed().

#include "io/snapshot.h"

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
    // The version the next commit() may replace (a Missing one: only where
    // there is still no file). Not called: whatever is there is replaced.
    virtual void expect(const Snapshot &version) = 0;
    // After a false commit(): the file on disk was not the version expected,
    // and stays as the other program left it.
    virtual bool changed() const = 0;
    // After a true commit(): the version of the bytes written, taken from
    // the written file itself before it took the file's name, so that a file
    // another program puts there afterwards is never taken for it.
    virtual Snapshot written() const = 0;
    // Full path named in the failure message.
    virtual std::string path() const = 0;
    // The system's reason for the last failure, e.g. "Permission denied".
    virtual std::string errorString() const = 0;
    // After a true commit(): what the user must still know about the file in
    // place (a folder sync that failed after the rename), or nothing.
    virtual std::string notice() const { return {}; }
};

} // namespace qor
