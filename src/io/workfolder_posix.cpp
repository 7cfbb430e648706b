#include "io/workfolder.h"

#include <filesystem>
#include <system_error>

namespace qor
{

std::string enterFolder(const std::string &folder)
{
    std::error_code error;
    std::filesystem::current_path(std::filesystem::path(folder), error);
    return error ? error.message() : std::string();
}

std::string workingFolder()
{
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

bool sameFolder(const std::string &a, const std::string &b)
{
    return a == b;
}

} // namespace qor
