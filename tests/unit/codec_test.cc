#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec.h"
#include "guarded.h"

namespace {

std::string encode(std::string_view text, std::size_t capacity,
                   line_end newline = line_end::encode)
{
    return guarded(capacity, [&](std::span<char> out) { line_to_hex(text, out, newline); });
}

std::string decode(std::string_view hex, std::size_t capacity = 256)
{
    return guarded(capacity, [&](std::span<char> out) { hex_to_line(hex, out); });
}

TEST(common, LineToHexEncodesEveryByteAsUppercasePairs)
{
    EXPECT_EQ(encode("", 16), "");
    EXPECT_EQ(encode("A", 16), "41");
    EXPECT_EQ(encode("A\n", 16), "41 0A");
    EXPECT_EQ(encode("\xE9\xFF\x01\r", 16), "E9 FF 01 0D");
    EXPECT_EQ(encode("ab\0cd", 16), "61 62");
}

TEST(common, LineToHexEncodesOnlyWholePairsThatLeaveRoomForTheTerminator)
{
    EXPECT_EQ(encode("abc", 0), "");
    EXPECT_EQ(encode("abc", 3), "");
    EXPECT_EQ(encode("abc", 4), "61");
    EXPECT_EQ(encode("abc", 7), "61 62");
    EXPECT_EQ(encode("abc", 9), "61 62");
    EXPECT_EQ(encode("abc", 10), "61 62 63");

    const std::string long_input(1024, 'x');
    EXPECT_EQ(encode(long_input, 3072).size(), 1023u * 3 - 1);
    EXPECT_EQ(encode(long_input, 1024).size(), 341u * 3 - 1);
}

TEST(common, LineToHexNewlineStopLeavesTheLineEndOut)
{
    EXPECT_EQ(encode("hi\nthere", 16, line_end::stop), "68 69");
    EXPECT_EQ(encode("\n", 16, line_end::stop), "");
    EXPECT_EQ(encode("hi\r\n", 16, line_end::stop), "68 69 0D");
}

TEST(common, HexToLineDecodesPairsWithOrWithoutSpaces)
{
    EXPECT_EQ(decode("4A 4B 4C"), "JKL");
    EXPECT_EQ(decode("4A4B4C"), "JKL");
    EXPECT_EQ(decode("4a 6b"), "Jk");
    EXPECT_EQ(decode(""), "");
}

TEST(common, HexToLineSkipsWhatIsNotAPair)
{
    EXPECT_EQ(decode("G1 41"), "A");
    EXPECT_EQ(decode("41 4"), "A");
    EXPECT_EQ(decode("4 1"), "");
    EXPECT_EQ(decode("41\0" "42"), "A");
    EXPECT_EQ(decode("41 00 42"), "A");  // a 00 pair ends the string
}

TEST(common, HexToLineStoresNoMoreThanTheBufferHolds)
{
    EXPECT_EQ(decode("41 42 43 44", 3), "AB");
    EXPECT_EQ(decode("41", 1), "");
    EXPECT_EQ(decode("41", 0), "");
}

}  // namespace
