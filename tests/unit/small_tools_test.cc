#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "chunks.h"
#include "copy.h"
#include "parse.h"
#include "round_trip.h"
#include "guarded.h"

namespace {

std::string to_hex(const char *source, std::size_t capacity)
{
    const char *r = nullptr;
    const std::string text = guarded(capacity, [&](std::span<char> out) {
        r = to_hex_string(source, out);
        EXPECT_EQ(r, out.data());
    });
    return r == nullptr ? "(null)" : text;
}

TEST(hexcycle, ToHexStringStaysInsideEveryCapacity)
{
    const std::array<std::string, 13> abc = {
        "(unused)", "", "", "61", "61 ", "61 ", "61 62", "61 62 ", "61 62 ", "61 62 63",
        "61 62 63", "61 62 63", "61 62 63"};
    for (std::size_t capacity = 1; capacity <= 12; ++capacity)
        EXPECT_EQ(to_hex("abc", capacity), abc[capacity]) << "capacity " << capacity;
    for (std::size_t capacity = 1; capacity <= 12; ++capacity)
        EXPECT_LT(to_hex("abcdefgh", capacity).size(), capacity);
}

TEST(hexcycle, ToHexStringEncodesWholeSources)
{
    EXPECT_EQ(to_hex("A", 300), "41");
    EXPECT_EQ(to_hex("Hi there", 300), "48 69 20 74 68 65 72 65");
    EXPECT_EQ(to_hex("", 300), "");
    EXPECT_EQ(to_hex("\x80\xFF", 300), "80 FF");
}

TEST(hexcycle, RoundTripRefusesNullArgumentsAndZeroCapacity)
{
    std::array<char, 8> out{'#'};
    EXPECT_EQ(to_hex_string(nullptr, out), nullptr);
    EXPECT_EQ(to_hex_string("A", {}), nullptr);
    EXPECT_EQ(to_hex_string("A", std::span(out).first(0)), nullptr);
    EXPECT_EQ(from_hex_string(nullptr, out), nullptr);
    EXPECT_EQ(from_hex_string("41", {}), nullptr);
    EXPECT_EQ(from_hex_string("41", std::span(out).first(0)), nullptr);
    EXPECT_EQ(out[0], '#');
}

std::string from_hex(const char *hex, std::size_t capacity = 100)
{
    return guarded(capacity, [&](std::span<char> out) { from_hex_string(hex, out); });
}

TEST(hexcycle, FromHexStringDecodesPairsAndShowsTheUnexaminedLowDigit)
{
    EXPECT_EQ(from_hex("68 65 6C 6C 6F 0A"), "hello\n");
    EXPECT_EQ(from_hex("6c6C"), "ll");
    EXPECT_EQ(from_hex("ABC"), "\xAB");
    EXPECT_EQ(from_hex("4g"), "P");
    EXPECT_EQ(from_hex("A "), "\x90");
    EXPECT_EQ(from_hex("xx41"), "A");
    EXPECT_EQ(from_hex("41 42 43", 3), "AB");
    EXPECT_EQ(from_hex("41", 1), "");
}

TEST(hexnum, HexStringToIntFillsFromTheTopNibbleDown)
{
    EXPECT_EQ(static_cast<std::uint32_t>(hex_string_to_int("AB BC 4F 0A")), 0xABBC4F0Au);
    EXPECT_EQ(hex_string_to_int("ab bc 4f 0a"), hex_string_to_int("AB BC 4F 0A"));
    EXPECT_EQ(hex_string_to_int("1-2"), hex_string_to_int("12"));
    EXPECT_EQ(static_cast<std::uint32_t>(hex_string_to_int("7")), 0x70000000u);
    EXPECT_EQ(hex_string_to_int(""), 0);
    EXPECT_EQ(hex_string_to_int("FFFFFFFF"), -1);
}

TEST(hexnum, HexStringToIntIgnoresDigitsAfterTheEighth)
{
    EXPECT_EQ(static_cast<std::uint32_t>(hex_string_to_int("12345678 9ABC")), 0x12345678u);
    EXPECT_EQ(hex_string_to_int("FFFFFFFFFFFFFFFFFFFF"), -1);
}

std::string chunked(int piece, int total, std::size_t capacity = 100)
{
    constexpr std::array<char, 6> source = {'A', 'B', 'C', 'D', 'E', 'F'};
    return guarded(capacity, [&](std::span<char> out) { addChunks(out, source, piece, total); });
}

TEST(splitcopy, AddChunksCopiesInPiecesAndTerminates)
{
    EXPECT_EQ(chunked(3, 6), "ABCDEF");
    EXPECT_EQ(chunked(4, 6), "ABCDEF");
    EXPECT_EQ(chunked(10, 6), "ABCDEF");
    EXPECT_EQ(chunked(4, 5), "ABCDE");
    EXPECT_EQ(chunked(3, 0), "");
}

TEST(splitcopy, AddChunksStaysInsideItsBuffersAndEnds)
{
    EXPECT_EQ(chunked(0, 6), "");
    EXPECT_EQ(chunked(-3, 6), "");
    EXPECT_EQ(chunked(3, -1), "");
    EXPECT_EQ(chunked(3, 6, 4), "ABC");
    EXPECT_EQ(chunked(3, 6, 1), "");
    EXPECT_EQ(chunked(3, 6, 0), "");
    EXPECT_EQ(chunked(2, 1000), "ABCDEF");  // never reads past the source
}

TEST(trickle, UnderlineCopiesAsManyCharactersAsTheStarterIsLong)
{
    collection.fill('\0');
    charlink("Hello dolphin!");
    EXPECT_EQ(howlong_ofdubplicate, 14);
    EXPECT_STREQ(collection.data(), "How long the r");

    charlink("");
    EXPECT_EQ(howlong_ofdubplicate, 0);
    EXPECT_STREQ(collection.data(), "");
}

TEST(trickle, UnderlineLongStartersCopyTheWholeSentenceAndStayInside)
{
    const char *sentence = "How long the river is,I am not human for sure, everyday life question.";
    // Starter length, where the terminator goes: at the length, or at the
    // buffer's last byte past it. The bytes between keep their contents.
    for (const auto &[length, end] : std::vector<std::pair<std::size_t, std::size_t>>{{80, 80}, {150, 99}}) {
        collection.fill('z');
        charlink(std::string(length, 's').c_str());
        EXPECT_EQ(std::memcmp(collection.data(), sentence, 70), 0) << length;
        EXPECT_EQ(std::string(collection.data() + 70, end - 70), std::string(end - 70, 'z')) << length;
        EXPECT_EQ(collection[end], '\0') << length;
    }
}

}  // namespace
