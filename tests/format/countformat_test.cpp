#include "format/countformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace qor
{
namespace
{

struct ReadCase {
    const char *text;
    double value;
};

class ReadCount : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(ReadCount, ReadsAsExpected)
{
    const auto &c = GetParam();
    EXPECT_EQ(readCount(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadCount,
    ::testing::Values(
        // plain numbers and what follows them
        ReadCase{"12", 12}, ReadCase{"12abc", 12}, ReadCase{"3 abc", 3}, ReadCase{"-3", -3}, ReadCase{"+7", 7},
        ReadCase{"0", 0}, ReadCase{"0.0", 0}, ReadCase{"2.5", 2.5}, ReadCase{"0.5", 0.5}, ReadCase{".5", 0.5},
        ReadCase{"5.", 5}, ReadCase{"1,5", 1}, ReadCase{"1.2.3", 1.2}, ReadCase{"--5", 0}, ReadCase{"+-5", 0},
        // blanks, tabs and line feeds vanish wherever they stand; CR does not
        ReadCase{" 1 2 ", 12}, ReadCase{"\t1\n0", 10}, ReadCase{"- 4", -4}, ReadCase{"1 e 3", 1000},
        ReadCase{"1\r2", 1},
        // exponents
        ReadCase{"1e3", 1000}, ReadCase{"1E3", 1000}, ReadCase{"2.5e-1", 0.25}, ReadCase{"1e+2", 100},
        ReadCase{"1e", 1}, ReadCase{"1e+", 1}, ReadCase{"1ex", 1}, ReadCase{"e5", 0},
        // nothing to read
        ReadCase{"", 0}, ReadCase{"abc", 0}, ReadCase{"x5", 0}, ReadCase{"-", 0}, ReadCase{".", 0}, ReadCase{"   ", 0},
        ReadCase{"inf", 0}, ReadCase{"nan", 0}, ReadCase{"0x10", 0},
        // hexadecimal and octal: 16-bit signed when it fits, else 32-bit signed
        ReadCase{"&H10", 16}, ReadCase{"&h10", 16}, ReadCase{"&HFFFF", -1}, ReadCase{"&H8000", -32768},
        ReadCase{"&H7FFF", 32767}, ReadCase{"&H10000", 65536}, ReadCase{"&HFFFFFFFF", -1},
        ReadCase{"&H80000000", -2147483648.0}, ReadCase{"&H0000FFFF", -1}, ReadCase{"&Hff zz", 255}, ReadCase{"&H", 0},
        ReadCase{"&HG", 0}, ReadCase{"& H 1 0", 16}, ReadCase{"&O17", 15}, ReadCase{"&o17", 15},
        ReadCase{"&O177777", -1}, ReadCase{"&O8", 0}, ReadCase{"&O78", 7}, ReadCase{"-&H10", 0}, ReadCase{"&X10", 0},
        // beyond what a double or 32 bits can hold: not a number, so 0
        ReadCase{"1e999", 0}, ReadCase{"-1e999", 0}, ReadCase{"&H100000000", 0}, ReadCase{"&O40000000000", 0},
        ReadCase{"1e-999", 0}));

TEST(ReadCount, VeryLongNumbersStillRead)
{
    EXPECT_EQ(readCount(std::string(400, '9')), 0) << "beyond a double";
    EXPECT_EQ(readCount("1" + std::string(300, '0')), 1e300);
    EXPECT_EQ(readCount("0." + std::string(100000, '0') + "1"), 0);
    EXPECT_EQ(readCount(std::string(100000, '0') + "7"), 7);
    EXPECT_EQ(readCount("&H" + std::string(100000, '0') + "1"), 1);
}

TEST(ReadCount, KeepsSignOfZero)
{
    EXPECT_TRUE(std::signbit(readCount("-0")));
}

struct WriteCase {
    double value;
    const char *text;
};

class WriteCount : public ::testing::TestWithParam<WriteCase>
{
};

// The file takes the appended form; both must give the same text.
TEST_P(WriteCount, WritesAsExpected)
{
    EXPECT_EQ(writeCount(GetParam().value), GetParam().text);
    std::string appended = "count = ";
    appendCount(appended, GetParam().value);
    EXPECT_EQ(appended, std::string("count = ") + GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, WriteCount,
                         ::testing::Values(
                             // whole numbers below 1e15: plain digits
                             WriteCase{12, "12"}, WriteCase{1000, "1000"}, WriteCase{0, "0"}, WriteCase{-0.0, "0"},
                             WriteCase{-2, "-2"}, WriteCase{999999999999999, "999999999999999"},
                             WriteCase{-999999999999999, "-999999999999999"}, WriteCase{65536, "65536"},
                             // everything else: 15 significant digits, "." always
                             WriteCase{2.5, "2.5"}, WriteCase{0.5, "0.5"}, WriteCase{-0.25, "-0.25"},
                             WriteCase{0.1, "0.1"}, WriteCase{1.0 / 3, "0.333333333333333"},
                             WriteCase{2.0 / 3, "0.666666666666667"}, WriteCase{0.0001, "0.0001"},
                             WriteCase{1e15, "1E+15"}, WriteCase{-1e15, "-1E+15"},
                             WriteCase{1234567890123456, "1.23456789012346E+15"}, WriteCase{1.5e-7, "1.5E-07"},
                             WriteCase{1e300, "1E+300"}, WriteCase{123456.789, "123456.789"},
                             WriteCase{std::numeric_limits<double>::quiet_NaN(), "0"}));

TEST(CountFormat, WrittenTextReadsBackToTheSameValueAt15Digits)
{
    for (double v : {2.5, 0.1, 1e15, 1.5e-7, 123456.789, -42.0, 7e-5}) {
        const double back = readCount(writeCount(v));
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << writeCount(v);
    }
}

} // namespace
} // namespace qor
