// Text from outside as the user reads it: every well-formed character as it
// is, every byte of a malformed one as U+FFFD, so that no two byte strings
// that a strict reader tells apart look alike.
#include "format/plaintext.h"

#include <gtest/gtest.h>

#include <string>

namespace qor
{
namespace
{

const std::string bad = "\xEF\xBF\xBD"; // U+FFFD

struct ShownCase {
    const char *name;
    std::string bytes;
    std::string shown;
};

void PrintTo(const ShownCase &c, std::ostream *os)
{
    *os << c.name;
}

class PlainText : public ::testing::TestWithParam<ShownCase>
{
};

TEST_P(PlainText, ShowsWhatTheBytesAre)
{
    EXPECT_EQ(plainText(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Table, PlainText,
                         ::testing::Values(
                             // The edges of each length, well formed.
                             ShownCase{"two_bytes", "caf\xC3\xA9", "caf\xC3\xA9"},
                             ShownCase{"smallest_three_bytes", "\xE0\xA0\x80", "\xE0\xA0\x80"},
                             ShownCase{"below_the_surrogates", "\xED\x9F\xBF", "\xED\x9F\xBF"},
                             ShownCase{"above_the_surrogates", "\xEE\x80\x80", "\xEE\x80\x80"},
                             ShownCase{"smallest_four_bytes", "\xF0\x90\x80\x80", "\xF0\x90\x80\x80"},
                             ShownCase{"largest_code_point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
                             // Overlong forms: a second spelling of a character that a strict
                             // reader refuses must not show as that character.
                             ShownCase{"overlong_slash_in_two", "a\xC0\xAF", "a" + bad + bad},
                             ShownCase{"overlong_copyright_in_two", "\xC1\xA9", bad + bad},
                             ShownCase{"overlong_slash_in_three", "\xE0\x80\xAF", bad + bad + bad},
                             ShownCase{"overlong_copyright_in_three", "\xE0\x82\xA9", bad + bad + bad},
                             ShownCase{"overlong_e_acute_in_three", "caf\xE0\x83\xA9", "caf" + bad + bad + bad},
                             ShownCase{"overlong_largest_two_byte_in_three", "\xE0\x9F\xBF", bad + bad + bad},
                             ShownCase{"overlong_slash_in_four", "\xF0\x80\x80\xAF", bad + bad + bad + bad},
                             ShownCase{"overlong_largest_three_byte_in_four", "\xF0\x8F\xBF\xBF",
                                       bad + bad + bad + bad},
                             // Surrogates, alone or paired as UTF-16 would pair them.
                             ShownCase{"first_surrogate", "\xED\xA0\x80", bad + bad + bad},
                             ShownCase{"last_surrogate", "\xED\xBF\xBF", bad + bad + bad},
                             ShownCase{"surrogate_pair", "\xED\xA0\xBD\xED\xB8\x80", bad + bad + bad + bad + bad + bad},
                             // Beyond U+10FFFF, and cut short.
                             ShownCase{"beyond_the_last_code_point", "\xF4\x90\x80\x80", bad + bad + bad + bad},
                             ShownCase{"lead_byte_of_nothing", "\xF5\x80\x80\x80", bad + bad + bad + bad},
                             ShownCase{"cut_short_at_the_end", "\xE2\x82", bad + bad},
                             ShownCase{"cut_short_by_a_letter", "\xE2\x82x", bad + bad + "x"},
                             // Hidden characters are named, whatever their length.
                             ShownCase{"override_and_delete", "\xE2\x80\xAE\x7F", "\\u202E\\u007F"}));

} // namespace
} // namespace qor
