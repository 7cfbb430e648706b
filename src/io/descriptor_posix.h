#pragma once
// What every part of the POSIX file sink holds: a descriptor it owns, and a
// folder opened to create, rename and unlink in.

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace qor::detail
{

// Owns one file descriptor.
class Fd
{
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd &operator=(Fd &&other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes and returns close()'s own result, which a network file system
    // may use to report a failed write.
    int reset()
    {
        const int result = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return result;
    }

  private:
    int fd_ = -1;
};

// A folder to create, rename and unlink in. Read access is needed only to
// sync it; a folder that grants search and write but not read is still used.
inline Fd openFolder(int at, const char *path)
{
    Fd folder(::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
#ifdef O_PATH
    if (!folder.valid() && errno == EACCES)
        folder = Fd(::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC));
#endif
    return folder;
}

} // namespace qor::detail
