#include "savefile.h"

#include <QFileInfo>

namespace qor {

SaveFile::SaveFile(const QString &path) : file_(QFileInfo(path).absoluteFilePath())
{
    file_.setDirectWriteFallback(true);
}

bool SaveFile::open()
{
    return file_.open(QIODevice::WriteOnly);
}

bool SaveFile::write(std::string_view bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    return file_.write(bytes.data(), size) == size;
}

bool SaveFile::commit()
{
    return file_.commit();
}

std::string SaveFile::path() const
{
    return file_.fileName().toStdString();
}

std::string SaveFile::errorString() const
{
    return file_.errorString().toStdString();
}

} // namespace qor
