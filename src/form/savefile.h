#pragma once
// description.ext written through QSaveFile: the bytes go to a temporary file
// beside the target, which replaces the old file only once everything was
// written. Where the folder allows no new file but the old file is writable,
// QSaveFile writes in place instead (its direct-write fallback).

#include "generate/outputfile.h"

#include <QSaveFile>
#include <QString>

#include <string>

namespace qor
{

class SaveFile final : public OutputFile
{
  public:
    explicit SaveFile(const QString &path);
    bool open() override;
    bool write(std::string_view bytes) override;
    bool commit() override;
    std::string path() const override;
    std::string errorString() const override;

  private:
    QSaveFile file_;
    std::string pending_;
};

} // namespace qor
