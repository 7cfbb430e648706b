#include "savefile.h"

#include <QDir>
#include <QFileInfo>

namespace qor
{

SaveFile::SaveFile(const QString &path) : file_(QFileInfo(path).absoluteFilePath())
{
    file_.setDirectWriteFallback(true);
}

bool SaveFile::open()
{
    // Unbuffered: QSaveFile::commit() ignores a failure of the flush of its
    // own buffer and would put a truncated file in place.
    return file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool SaveFile::write(std::string_view bytes)
{
    // Lines are gathered and written in one go at commit: one system call per
    // press instead of one per line.
    pending_ += bytes;
    return true;
}

bool SaveFile::commit()
{
    // A short write (e.g. at a file-size limit) is no failure yet and sets no
    // reason; writing the rest either succeeds or fails with the system's.
    const auto size = static_cast<qint64>(pending_.size());
    for (qint64 done = 0; done < size;) {
        const qint64 n = file_.write(pending_.data() + done, size - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return file_.commit();
}

std::string SaveFile::path() const
{
    // As the user's system writes paths: backslashes on Windows.
    return QDir::toNativeSeparators(file_.fileName()).toStdString();
}

std::string SaveFile::errorString() const
{
    return file_.errorString().toStdString();
}

} // namespace qor
