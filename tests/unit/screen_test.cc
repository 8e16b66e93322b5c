#include <array>
#include <string>

#include <gtest/gtest.h>

#include "screen.h"

using namespace hexscreen;

namespace {

std::string text_of(const heap_text &text)
{
    EXPECT_TRUE(text);
    return text ? text.get() : "";
}

std::string mask(std::string_view text)
{
    return text_of(mask_hex_patterns(text, mask_patterns, mask_replacements));
}

TEST(hexscreen, IsBlockedFindsAnyPatternAnywhere)
{
    EXPECT_EQ(is_blocked("77 65 6C 63 6F 6D 65 "), 1);  // "welcome" holds "co"
    EXPECT_EQ(is_blocked("53 6F 6C 65 6D 6E"), 1);
    EXPECT_EQ(is_blocked("43 6F"), 0);                  // "Co": case counts
    EXPECT_EQ(is_blocked(""), 0);
}

TEST(hexscreen, IsBlockedHexGroupsEndAtSixteenPairsAndAtNewlinePairs)
{
    EXPECT_EQ(is_blocked_hex(""), "");
    EXPECT_EQ(is_blocked_hex("48 69"), "48 69 \n");
    EXPECT_EQ(is_blocked_hex("48 0a 69"), "48 0a\n69 \n");
    EXPECT_EQ(is_blocked_hex("63 6F 0A 41 0A"), "[BLOCKED]\n41 0A\n");
    EXPECT_EQ(is_blocked_hex("41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50"),
              "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 \n");
    EXPECT_EQ(is_blocked_hex("41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51"),
              "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 \n51 \n");
    // A 0A that is the sixteenth pair ends its group, then flushes the empty one.
    EXPECT_EQ(is_blocked_hex("41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 0A"),
              "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 0A \n\n");
    // Any run of space, tab, carriage return or newline separates tokens.
    EXPECT_EQ(is_blocked_hex("  41\t42\r\n43  "), "41 42 43 \n");
}

TEST(hexscreen, IsBlockedHexOverlongTokensAreCutToTheBuffers)
{
    // Text no encoder makes: tokens far longer than a group, and more text
    // than the report holds. The report stays terminated inside its buffer.
    const std::string token(5000, '7');
    const std::string_view report = is_blocked_hex(token);
    EXPECT_EQ(report.size(), 1024u);
    EXPECT_EQ(report.find_first_not_of('7'), 1023u);
    EXPECT_TRUE(report.ends_with('\n'));

    std::string many;
    for (int i = 0; i < 2000; ++i)
        many += "4142434445464748 ";
    EXPECT_EQ(is_blocked_hex(many).size(), 10239u);
}

TEST(hexscreen, IsBlockedHexEachCallStartsAFreshReport)
{
    (void)is_blocked_hex("41 42");
    EXPECT_EQ(is_blocked_hex("43"), "43 \n");
}

TEST(hexscreen, MaskHexPatternsReplacesEveryOccurrenceInTableOrder)
{
    EXPECT_EQ(mask("68 65 6C 6C 6F 20 57 6F 72 6C 64 0A"), "20 20 20 20 20 20 FF FF FF FF 0A");
    EXPECT_EQ(mask("6D 69 6E 69 6D 69 6E 69"), "20 20 20 20 20 20 20 20");
    EXPECT_EQ(mask("48 65 6C 6C 6F"), "48 65 6C 6C 6F");
    EXPECT_EQ(mask(""), "");
}

TEST(hexscreen, MaskHexPatternsSearchGoesOnAfterTheInsertedText)
{
    constexpr std::array<std::string_view, 1> grow = {"41"};
    constexpr std::array<std::string_view, 1> into = {"41 41 41"};
    EXPECT_EQ(text_of(mask_hex_patterns("41 42 41", grow, into)), "41 41 41 42 41 41 41");
    const std::string many(3000, 'A');
    EXPECT_EQ(text_of(mask_hex_patterns(many, std::array<std::string_view, 1>{"A"},
                                        std::array<std::string_view, 1>{"BBBB"})),
              std::string(12000, 'B'));

    constexpr std::array<std::string_view, 2> chain = {"41", "42"};
    constexpr std::array<std::string_view, 2> to = {"42", "43"};
    EXPECT_EQ(text_of(mask_hex_patterns("41", chain, to)), "43");
}

TEST(hexscreen, ScreeningFunctionsTextEndsAtItsFirstNul)
{
    const std::string_view text{"68 65 6C 6C 6F\0" "57 6F 72 6C 64", 29};
    EXPECT_EQ(mask(text), "20 20 20 20 20");
    EXPECT_EQ(is_blocked_hex(text), "68 65 6C 6C 6F \n");

    constexpr std::array<std::string_view, 1> pattern = {std::string_view{"41\0" "42", 5}};
    constexpr std::array<std::string_view, 1> replacement = {std::string_view{"43\0" "44", 5}};
    EXPECT_EQ(text_of(mask_hex_patterns("41 41", pattern, replacement)), "43 43");
}

TEST(hexscreen, MaskHexPatternsEmptyPatternIsIgnored)
{
    constexpr std::array<std::string_view, 1> empty = {""};
    constexpr std::array<std::string_view, 1> x = {"X"};
    EXPECT_EQ(text_of(mask_hex_patterns("41", empty, x)), "41");
}

}  // namespace
