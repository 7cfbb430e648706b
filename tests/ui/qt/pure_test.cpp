// The window's pure helpers as tables, without a window: contrast as
// accessibility guidelines measure it, and the window's size on small screens.
#include "layout/contrast.h"
#include "ui/qt/fit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qor
{
namespace
{

using layout::Rgb;

struct ContrastCase {
    const char *name;
    Rgb a, b;
    double ratio; // as published contrast checkers give it
    Rgb outline;  // the frame colour against a
};

class Contrast : public ::testing::TestWithParam<ContrastCase>
{
};

TEST_P(Contrast, RatioBothWaysAndAnOutlineThatStandsOut)
{
    const ContrastCase &c = GetParam();
    EXPECT_EQ(std::lround(layout::contrastRatio(c.a, c.b) * 100), std::lround(c.ratio * 100));
    EXPECT_EQ(std::lround(layout::contrastRatio(c.b, c.a) * 100), std::lround(c.ratio * 100));
    EXPECT_EQ(layout::outlineAgainst(c.a), c.outline);
    EXPECT_GE(layout::contrastRatio(layout::outlineAgainst(c.a), c.a), 4.5);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Contrast,
    ::testing::Values(ContrastCase{"BlackOnWhite", layout::black, layout::white, 21.0, layout::white},
                      ContrastCase{"Equal", {128, 0, 64}, {128, 0, 64}, 1.0, layout::white},
                      ContrastCase{"GreyOnWhite", {0x77, 0x77, 0x77}, layout::white, 4.48, layout::black},
                      ContrastCase{"BlueOnWhite", {0, 0, 255}, layout::white, 8.59, layout::white},
                      ContrastCase{"RedOnWhite", {255, 0, 0}, layout::white, 4.0, layout::black},
                      ContrastCase{"Highlight", {0x30, 0x8c, 0xc6}, layout::black, 5.69, layout::black}),
    [](const auto &info) { return std::string(info.param.name); });

struct FitCase {
    const char *name;
    QSize room;
    QSize expected; // for the layout's 809x690 and bars 16 thick
};

class FittedSize : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(FittedSize, ShowsAllOrScrolls)
{
    const QSize got = fittedSize(QSize(809, 690), GetParam().room, 16);
    EXPECT_EQ(got.width(), GetParam().expected.width());
    EXPECT_EQ(got.height(), GetParam().expected.height());
}

INSTANTIATE_TEST_SUITE_P(Table, FittedSize,
                         ::testing::Values(FitCase{"RoomToSpare", {1920, 1080}, {809, 690}},
                                           FitCase{"Exactly", {809, 690}, {809, 690}},
                                           FitCase{"TooLowWideEnoughForABar", {1024, 577}, {825, 577}},
                                           FitCase{"TooLowNoRoomForABar", {815, 577}, {815, 577}},
                                           FitCase{"TooNarrow", {700, 1000}, {700, 706}},
                                           FitCase{"Both", {683, 384}, {683, 384}}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qor
