#pragma once
// description.ext replaced the way careful editors save: the bytes go to a
// new temporary file in the target's own folder, are synced to the disk, and
// only then renamed over the old file. Either the whole new file is in place
// or the old one is exactly as it was; the file is never written in place.
//
// The name is taken relative to the process's working folder, through the
// folder itself rather than a rebuilt absolute path, so a deleted or renamed
// working folder, a path longer than the system's limit or a folder name that
// is not valid UTF-8 still reach the right place (or fail with a reason).
// A symbolic link to a regular file has its target replaced, where the
// kernel's rule for shared sticky folders lets this process follow it; a
// link that points nowhere is refused rather than made into a new file, and
// anything else that is not a regular file is refused without being opened.
// The replaced file grants exactly what the old one granted: owner, group,
// mode and ACL, or less where the group cannot be kept.
//
// Told which version the press may replace, the sink checks the file it
// takes the name from as late as the system lets it: on Linux the new file
// and the old one swap names in one step and the old one is checked after
// the swap (and swapped back if another program changed it); elsewhere it is
// checked right before the rename.
//
// One header for every platform: each platform has its own implementation
// file (filesink_posix.cpp, filesink_windows.cpp).

#include "format/filewords.h"
#include "io/outputfile.h"

#include <memory>
#include <optional>
#include <string>

namespace qor
{

// The system calls the sink makes where a test needs a real failure (a sync
// that reports an I/O error, say). Each platform defines it beside its
// implementation; a null pointer means the system's own calls.
struct SystemCalls;

class FileSink final : public OutputFile
{
  public:
    explicit FileSink(std::string name, const SystemCalls *calls = nullptr);
    // Leaves no temporary file behind, whether commit() ran, failed or not.
    ~FileSink() override;
    FileSink(const FileSink &) = delete;
    FileSink &operator=(const FileSink &) = delete;

    bool open() override;
    bool commit(std::string_view bytes) override;
    void expect(const Snapshot &version) override { versions_.expected = version; }
    bool changed() const override { return versions_.changed; }
    Snapshot written() const override { return versions_.written; }

    // What a commit was told and found, on every platform.
    struct Versions {
        std::optional<Snapshot> expected; // the version a commit may replace
        bool changed = false;             // the last commit found another version
        Snapshot written;                 // of the bytes the last commit put in place
    };
    std::string path() const override;
    std::string errorString() const override;
    std::string notice() const override;

  private:
    struct Impl;
    Versions versions_;
    std::unique_ptr<Impl> impl_;
};

// What a window's press writes: description.ext in the working folder.
inline std::unique_ptr<OutputFile> descriptionSink()
{
    return std::make_unique<FileSink>(fileName);
}

} // namespace qor
