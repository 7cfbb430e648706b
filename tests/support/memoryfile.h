#pragma once
// An OutputFile in memory. It can be told to fail at its n-th operation
// (open 1, commit 2), to stand in for a disk that refuses; what it committed
// last stays as the "file on disk".

#include "io/outputfile.h"

#include <functional>
#include <optional>
#include <string>

namespace qor
{

class MemoryFile final : public OutputFile
{
  public:
    bool open() override;
    bool commit(std::string_view bytes) override;
    std::string path() const override { return "/memory/description.ext"; }
    std::string errorString() const override { return error_; }
    std::string notice() const override { return noticeText; }
    void expect(const Snapshot &version) override { expected_ = version; }
    bool changed() const override { return changed_; }
    Snapshot written() const override { return written_; }

    std::string committed; // the file as a reader would find it
    int failAt = 0;        // operation number that fails; 0: none
    int operations = 0;    // operations attempted in the last press
    std::string reason = "No space left on device";
    std::string noticeText; // what a written file says beside its bytes
    // The file's version on disk now, as a reader would find it; unset, the
    // version of what was committed.
    std::function<Snapshot()> onDisk;

  private:
    bool step();
    std::string error_;
    std::optional<Snapshot> expected_;
    bool changed_ = false;
    Snapshot written_;
};

} // namespace qor
