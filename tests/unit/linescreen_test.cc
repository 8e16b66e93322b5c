#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fgets_filter.h"
#include "filter.h"

using namespace linescreen;

namespace {

// screen_lines reading a regular file, or a pipe fed in pieces of every
// size, with the masks of `width`.
std::string filtered_by_screen_lines(const std::string &input, bool through_pipe = false,
                                     mask_width width = mask_width::widest)
{
    FILE *out = std::tmpfile();
    if (through_pipe) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        std::thread feed([&] {
            std::mt19937 random(3);
            for (std::size_t at = 0; at < input.size();) {
                const std::size_t n = std::min<std::size_t>(input.size() - at, 1 + random() % 70000);
                const ssize_t written = ::write(fds[1], input.data() + at, n);
                if (written <= 0)
                    break;  // the reader has gone: the comparison tells what was lost
                at += static_cast<std::size_t>(written);
            }
            ::close(fds[1]);
        });
        screen_lines(fds[0], ::fileno(out), width);
        ::close(fds[0]);  // a feed left writing fails rather than waits
        feed.join();
    } else {
        FILE *in = std::tmpfile();
        std::fwrite(input.data(), 1, input.size(), in);
        std::fflush(in);
        std::rewind(in);
        screen_lines(::fileno(in), ::fileno(out), width);
        EXPECT_EQ(::lseek(::fileno(in), 0, SEEK_CUR), static_cast<off_t>(input.size()));
        std::fclose(in);
    }
    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(out);
    return text;
}

TEST(linescreen, IsBlockedHexWholeStringEqualityOnly)
{
    EXPECT_EQ(is_blocked_hex("68 65 6C 6C 6F 20 77 6F 72 6C 64"), 1);
    EXPECT_EQ(is_blocked_hex("68 65 6C 6C 6F 20 77 6F 72 6C 64 20"), 0);
    EXPECT_EQ(is_blocked_hex("74 6F 76 6C 65 72 6B 0A"), 1);
    EXPECT_EQ(is_blocked_hex(""), 0);
}

// Lines the block-wise judgement finds hard: lengths around multiples of
// the 511-byte piece, blocked lines at every offset around the ends of
// blocks, NUL bytes (in some inputs only: a block holding one is judged
// piece by piece), CRLF, near misses and a last line without its newline. Each blocked line is placed to end near a multiple of 64 KiB or
// near the end of a file's first read.
std::string hard_input(std::mt19937 &random, std::size_t size, bool with_nul)
{
    const std::array<std::string, 10> parts = {
        "hello world\n", "hello world\r\n", "Hello world\n", "\n", "hello worl\n", "tovlerk\n",
        "hello world hello world\n", "ab\n", std::string("hello world\0z\n", 14),
        std::string("x\0hello world\n", 14)};
    std::string input;
    while (input.size() < size) {
        const auto pick = random() % 8;
        if (pick == 0) {  // 511·k ± 1 bytes, then a newline or a blocked piece
            const std::size_t len = 511 * (1 + random() % 3) + random() % 3 - 1;
            input += std::string(len, 'y') + (random() % 2 == 0 ? "\n" : "hello world\n");
        } else if (pick == 1) {  // a blocked line ending near a block's end
            const std::size_t first_read = block_size + piece_max;  // a file's first read fills the buffer
            const std::size_t next = input.size() < first_read && random() % 2 == 0
                ? first_read : (input.size() / 65536 + 1) * 65536;
            const std::size_t boundary = next + random() % 5 - 2;
            while (input.size() + 12 + 40 < boundary)
                input += std::string(std::min<std::size_t>(boundary - input.size() - 12 - 1, 39), 'z') + "\n";
            input += "hello world\n";
        } else {
            input += parts[random() % (parts.size() - (with_nul ? 0 : 2))];
        }
    }
    if (random() % 2 == 0)
        input += "hello world";  // a last line without its newline
    return input;
}

// Where two outputs part, with some context: a diff of megabytes would take
// longer than the test.
std::string first_difference(const std::string &actual, const std::string &expected)
{
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (a == actual.end() && e == expected.end())
        return "";
    const auto at = static_cast<std::size_t>(a - actual.begin());
    const std::size_t from = at > 40 ? at - 40 : 0;
    return "offset " + std::to_string(at) + ": actual \"" + actual.substr(from, 80) + "\", expected \"" +
           expected.substr(from, 80) + "\"";
}

TEST(linescreen, ScreenLinesMatchesTheFgetsLoop)
{
    std::mt19937 random(12345);
    // The large inputs take two and a bit reads from a file.
#if defined(HEXSUITE_INSTRUMENTED)
    constexpr int rounds = 20;
#else
    constexpr int rounds = 24;
#endif
    for (int round = 0; round < rounds; ++round) {
        const std::size_t large = 2 * (block_size + piece_max) + 70000;
        const std::string input = hard_input(random, round < 16 ? random() % 3000 : large, round % 2 == 0);
        const std::string expected = filtered_by_fgets(input);
        for (const mask_width width : {mask_width::none, mask_width::portable, mask_width::avx2}) {
            if (!has_mask_width(width))
                continue;
            const auto where = "round " + std::to_string(round) + ", width " + std::to_string(static_cast<int>(width));
            ASSERT_EQ(first_difference(filtered_by_screen_lines(input, false, width), expected), "") << where << ", from a file";
            ASSERT_EQ(first_difference(filtered_by_screen_lines(input, true, width), expected), "") << where << ", through a pipe";
        }
    }
}

// A NUL and a blocked line at every offset of the bytes the masks take at
// once, and lines around them as long as a piece and a little less.
TEST(linescreen, EveryWidthAtEveryOffset)
{
    for (std::size_t offset = 0; offset < 600; ++offset) {
        const std::string filler = std::string(offset % 300, 'x') + "\n";
        const std::string input = std::string(offset, 'z') + '\0' + "a\nhello world\n" + filler + "hello world\n" +
                                  std::string(offset % 2 == 0 ? 510 : 508, 'w') + "\nhello world\n" + filler;
        for (const mask_width width : {mask_width::none, mask_width::portable, mask_width::avx2}) {
            if (!has_mask_width(width))
                continue;
            ASSERT_EQ(filtered_by_screen_lines(input, false, width), filtered_by_fgets(input)) << offset;
        }
    }
}

TEST(linescreen, ScreenLinesCutsLongLinesInto511BytePieces)
{
    const std::string filler(511, 'x');
    EXPECT_EQ(filtered_by_screen_lines(filler + "hello world\nend\n"), filler + "end\n");
    EXPECT_EQ(filtered_by_screen_lines(filler + filler + "hello world"), filler + filler);
}

}  // namespace
