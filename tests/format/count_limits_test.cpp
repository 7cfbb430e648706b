// Counts at the edges of a double: whatever the writer puts in the file, the
// reader must take back as the same count, never as "not a number".
#include "format/countformat.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qor
{
namespace
{

using namespace test;
using limits = std::numeric_limits<double>;

struct EdgeCase {
    const char *name;
    double value;
    const char *text;
};

void PrintTo(const EdgeCase &c, std::ostream *os)
{
    *os << c.name;
}

const EdgeCase edgeCases[] = {
    {"Largest", limits::max(), "1.79769313486231E+308"},
    {"LargestNegative", -limits::max(), "-1.79769313486231E+308"},
    {"Overflowed", limits::infinity(), "1.79769313486231E+308"},
    {"OverflowedNegative", -limits::infinity(), "-1.79769313486231E+308"},
    {"JustBelowTheClamp", 1.79769313486231e308, "1.79769313486231E+308"},
    {"SmallestSubnormal", limits::denorm_min(), "4.94065645841247E-324"},
    {"SmallestNormal", limits::min(), "2.2250738585072E-308"},
    {"LastPlainWholeNumber", 999999999999999, "999999999999999"},
    {"FirstWithExponent", 1e15, "1E+15"},
};

class CountLimits : public ::testing::TestWithParam<EdgeCase>
{
};

TEST_P(CountLimits, WrittenTextReadsBackAsItself)
{
    const std::string text = writeCount(GetParam().value);
    EXPECT_EQ(text, GetParam().text);
    const double back = readCount(text);
    EXPECT_TRUE(std::isfinite(back));
    EXPECT_NE(back, 0);
    EXPECT_EQ(writeCount(back), text);
}

INSTANTIATE_TEST_SUITE_P(Edges, CountLimits, ::testing::ValuesIn(edgeCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Two boxes of a shared magazine whose sum leaves a double's range.
TEST(CountLimits, OverflowingSharedSumIsWrittenAsACountThatReadsBack)
{
    FormRecord form;
    tick(form, "M4", "1");
    form.counts[ammoBoxOf("M4")] = "1e308";
    form.counts[ammoBoxOf("XMS")] = "1.5e308";
    EXPECT_EQ(press(form), crlf(concat({headerLines(), section("Weapons", {entry("M4", "1")}),
                                        section("Magazines", {entry("M4", "1.79769313486231E+308")})})));
}

} // namespace
} // namespace qor
