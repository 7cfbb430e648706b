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
    const auto above = std::filesystem::temp_directory_path() / ("qor-infolder-" + std::to_string(getpid()));
    const auto folder = above / "mission";
    std::filesystem::create_directories(folder / "Scripts");
    std::ofstream(folder / "Scripts" / "Intro.SQS") << "";
    std::ofstream(above / "x.sqf") << ""; // there, but outside the mission
    std::filesystem::current_path(folder);
    for (const char *name : {"scripts\\intro.sqs", "SCRIPTS/INTRO.sqs"})
        EXPECT_TRUE(isInFolder(name)) << name;
    for (const char *name : {"scripts/outro.sqs", "scripts", "../x.sqf", "../mission/Scripts/Intro.SQS", "/etc/passwd",
                             "scripts//intro.sqs"})
        EXPECT_FALSE(isInFolder(name)) << name;
    std::filesystem::current_path(before);
    std::filesystem::remove_all(above);
}

} // namespace
} // namespace qor
