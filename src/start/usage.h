#pragma once
// What the program says about its command line, on every platform.

#include <string_view>

namespace qor::usage
{

inline constexpr std::string_view programName = "qorgenerator";
inline constexpr std::string_view description =
    "Writes a mission's description.ext into FOLDER, or into the current folder.";
inline constexpr std::string_view folderHelp = "The mission folder to work in.";
inline constexpr std::string_view helpHelp = "Show this help and exit.";
inline constexpr std::string_view versionHelp = "Show the version and exit.";
inline constexpr std::string_view startValuesOption = "--start-values";
inline constexpr std::string_view startValuesHelp =
    "Start from the start values; leave FOLDER's description.ext unread.";
inline constexpr std::string_view oneFolder = "one FOLDER at most. See --help.";

} // namespace qor::usage
