// A script named by the mission, found as the game finds it.
#include "io/infolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace qor
{
namespace
{

TEST(InFolder, RelativeAndInAnyCase)
{
    const auto before = std::filesystem::current_path();
    const auto folder = std::filesystem::temp_directory_path() / ("qor-infolder-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "Scripts");
    std::ofstream(folder / "Scripts" / "Intro.SQS") << "";
    std::filesystem::current_path(folder);
    const std::pair<const char *, bool> cases[] = {
        {"scripts\\intro.sqs", true},    {"SCRIPTS/INTRO.sqs", true}, {"scripts/outro.sqs", false},  {"scripts", false},
        {"../Scripts/Intro.SQS", false}, {"/etc/passwd", false},      {"scripts//intro.sqs", false},
    };
    for (const auto &[name, found] : cases)
        EXPECT_EQ(isInFolder(name), found) << name;
    std::filesystem::current_path(before);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace qor
