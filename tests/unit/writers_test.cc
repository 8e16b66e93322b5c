#include <array>
#include <cstdint>
#include <span>
#include <string>

#include <gtest/gtest.h>

#include "capture.h"
#include "hex_writers.h"
#include "quad.h"
#include "walk.h"

namespace {

using namespace std::string_literals;

TEST(common, HexWritersDumpStringsUpToTheirFirstNul)
{
    EXPECT_EQ(captured_stdout([] { printfhex("", open_rule::no_pause); }), "\n");
    EXPECT_EQ(captured_stdout([] { printfhex("Hi", open_rule::no_pause); }), "48 69 \n");
    EXPECT_EQ(captured_stdout([] { printfhex("A\0B", open_rule::no_pause); }), "41 \n");
    EXPECT_EQ(captured_stdout([] { printfhex("\xFF\n", open_rule::no_pause); }), "FF 0A \n");
}

TEST(common, HexWritersLengthFormsDumpEveryByteIncludingNul)
{
    EXPECT_EQ(captured_stdout([] { printfhex_and_l("Hi", 2, open_rule::no_pause); }), "48 69 \n");
    EXPECT_EQ(captured_stdout([] { printfhex_and_l("A\0B", 3, open_rule::no_pause); }), "41 00 42 \n");
    EXPECT_EQ(captured_stdout([] { printfhex_and_l("Hi", 0, open_rule::no_pause); }), "\n");
    EXPECT_EQ(captured_stdout([] { printfhex_and_l("Hi", -5, open_rule::no_pause); }), "\n");
    EXPECT_EQ(captured_stdout([] { openf_and_l("Hi", -1, open_rule::no_pause); }), "");
}

TEST(common, HexWritersSingleCellsAndBytes)
{
    EXPECT_EQ(captured_stdout([] { write_hex(0x00, open_rule::no_pause); }), "00 ");
    EXPECT_EQ(captured_stdout([] { write_hex_and_l(0xE9, open_rule::no_pause); }), "E9 ");
    EXPECT_EQ(captured_stdout([] { openf("x", open_rule::no_pause); }), "x");
}

TEST(common, HexWritersZeroFailsRuleWritesLikeTheOtherWhileDescriptorZeroIsTaken)
{
    EXPECT_EQ(captured_stdout([] { printfhex("Hi", open_rule::pause_zero_fails); }), "48 69 \n");
}

TEST(bytewalk, PrintHexBytesWalksFromTheLastByteDown)
{
    const std::array<std::byte, 4> bytes{std::byte{0x5C}, std::byte{0}, std::byte{1}, std::byte{0xFF}};
    EXPECT_EQ(captured_stdout([&] { print_hex_bytes(bytes); }), "FF 01 00 5C \n");
    EXPECT_EQ(captured_stdout([&] { print_hex_bytes(std::span(bytes).first(1)); }), "5C \n");
    EXPECT_EQ(captured_stdout([&] { print_hex_bytes(std::span(bytes).first(0)); }), "\n");
}

TEST(quadhex, PrintAsHexPrintsMostSignificantByteFirst)
{
    EXPECT_EQ(captured_stdout([] { print_as_hex(65544); }), "00 01 00 08\n");
    EXPECT_EQ(captured_stdout([] { print_as_hex(-1); }), "FF FF FF FF\n");
    EXPECT_EQ(captured_stdout([] { print_as_hex(255); }), "00 00 00 FF\n");
    EXPECT_EQ(captured_stdout([] { print_as_hex(INT32_MIN); }), "80 00 00 00\n");
}

}  // namespace
