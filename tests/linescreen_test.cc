#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "codec.h"
#include "filter.h"
#include "newlines.h"

using namespace linescreen;

namespace {

// The line filter as a plain loop over fgets, for comparison with the
// block-reading one.
std::string filtered_by_fgets(const std::string &input)
{
    std::string copy = input;
    FILE *in = ::fmemopen(copy.data(), copy.size(), "r");
    std::string out;
    std::array<char, 512> line;
    std::array<char, 1024> hex;
    while (in != nullptr && std::fgets(line.data(), line.size(), in) != nullptr) {
        line_to_hex(line.data(), hex, line_end::stop);
        if (is_blocked_hex(hex.data()) != 1)
            out += line.data();
    }
    if (in != nullptr)
        std::fclose(in);
    return out;
}

std::string filtered_by_screen_lines(const std::string &input)
{
    FILE *in = std::tmpfile();
    FILE *out = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::fflush(in);
    std::rewind(in);
    screen_lines(::fileno(in), ::fileno(out));
    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(in);
    std::fclose(out);
    return text;
}

TEST(IsBlockedHex, WholeStringEqualityOnly)
{
    EXPECT_EQ(is_blocked_hex("68 65 6C 6C 6F 20 77 6F 72 6C 64"), 1);
    EXPECT_EQ(is_blocked_hex("68 65 6C 6C 6F 20 77 6F 72 6C 64 20"), 0);
    EXPECT_EQ(is_blocked_hex("74 6F 76 6C 65 72 6B 0A"), 1);
    EXPECT_EQ(is_blocked_hex(""), 0);
}

TEST(IsBlockedLine, JudgesTheContentBeforeTheLineEnd)
{
    EXPECT_TRUE(is_blocked_line("hello world\n"));
    EXPECT_TRUE(is_blocked_line("hello world"));
    EXPECT_TRUE(is_blocked_line(std::string_view{"hello world\0x\n", 14}));
    EXPECT_FALSE(is_blocked_line("hello world\r\n"));
    EXPECT_FALSE(is_blocked_line("tovlerk\n"));
    EXPECT_FALSE(is_blocked_line("\n"));
}

TEST(ScreenLines, MatchesTheFgetsLoopOnRandomInput)
{
    const std::array<std::string, 9> parts = {
        "hello world\n", "hello world", "hello world\r\n", "Hello world\n", "\n",
        std::string("hello world\0z\n", 14), std::string(300, 'x'), "tovlerk\n", "ab"};
    std::mt19937 random(12345);
    for (int round = 0; round < 40; ++round) {
        std::string input;
        const std::size_t target = random() % (round < 30 ? 3000 : 400000);
        while (input.size() < target)
            input += parts[random() % parts.size()];
        ASSERT_EQ(filtered_by_screen_lines(input), filtered_by_fgets(input)) << "round " << round;
    }
}

TEST(Newlines, FindsTheSameNewlineAsAPlainSearch)
{
    std::mt19937 random(7);
    for (std::size_t size : {1u, 63u, 64u, 65u, 200u}) {
        std::string data(size, 'x');
        for (char &c : data)
            c = random() % 9 == 0 ? '\n' : 'x';
        std::array<std::uint64_t, newline_words(200)> bits{};
        map_newlines(data, bits);
        for (std::size_t from = 0; from < size; ++from)
            for (std::size_t limit = from + 1; limit <= size; ++limit) {
                const std::size_t plain = std::min(data.find('\n', from), limit);
                ASSERT_EQ(find_newline(bits, from, limit), plain) << size << " " << from << " " << limit;
            }
    }
}

TEST(ScreenLines, CutsLongLinesInto511BytePieces)
{
    const std::string filler(511, 'x');
    EXPECT_EQ(filtered_by_screen_lines(filler + "hello world\nend\n"), filler + "end\n");
    EXPECT_EQ(filtered_by_screen_lines(filler + filler + "hello world"), filler + filler);
}

}  // namespace
