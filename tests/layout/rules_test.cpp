// The rules both windows only show: what a click leaves in a tick box, which
// characters a one-line box drops, and a question's buttons said in words.
#include "layout/layout.h"
#include "layout/texts.h"

#include <gtest/gtest.h>

namespace qor::test
{
namespace
{

TEST(WindowRules, AClickTicksOrUnticksAndAGreyedBoxBecomesTicked)
{
    struct Row {
        std::int16_t before, after;
    };
    for (const Row r : {Row{unticked, ticked}, Row{ticked, unticked}, Row{greyed, ticked}})
        EXPECT_EQ(clickedValue(r.before), r.after) << r.before;
}

TEST(WindowRules, OnlyCarriageReturnAndLineFeedBreakAOneLineBox)
{
    struct Row {
        char32_t c;
        bool breaks;
    };
    const Row rows[] = {{U'\r', true},  {U'\n', true},   {U'\t', false},  {U' ', false}, {U'\v', false},
                        {U'\f', false}, {0x2028, false}, {0x2029, false}, {0x85, false}};
    for (const Row r : rows) {
        EXPECT_EQ(layout::isLineBreak(r.c), r.breaks) << static_cast<unsigned>(r.c);
        EXPECT_EQ(layout::isLineBreak(static_cast<wchar_t>(r.c)), r.breaks) << static_cast<unsigned>(r.c);
    }
}

TEST(WindowRules, AQuestionsButtonsInWords)
{
    struct Row {
        std::string_view load;
        std::string_view said;
    };
    const Row rows[] = {
        {"", "OK: Replace it. Cancel: Cancel."},
        {"Load it into the form", "Yes: Replace it. No: Load it into the form. Cancel: Cancel."},
    };
    for (const Row &r : rows)
        EXPECT_EQ(layout::buttonsInWords("Replace it", r.load, "Cancel"), r.said) << r.load;
}

} // namespace
} // namespace qor::test
