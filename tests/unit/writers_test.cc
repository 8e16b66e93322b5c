#include <array>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <span>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

// printfhex("Hi") to a pipe with descriptor 0 closed, so that opening
// "/dev/stdout" gives 0; in a child, which forgets what an earlier test in
// this process found descriptor 1 to be.
// What the pipe got, whether descriptor 0 was still open at the end, and
// how long it took.
struct zero_run {
    std::string output;
    bool zero_kept;
    double seconds;
};

zero_run with_descriptor_zero_free(open_rule rule)
{
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::close(0);
        forget_stdout();
        printfhex("Hi", rule);
        ::_exit(::fcntl(0, F_GETFD) >= 0 ? 1 : 0);
    }
    ::close(out[1]);
    std::string output;
    std::array<char, 64> bytes;
    for (ssize_t n; (n = ::read(out[0], bytes.data(), bytes.size())) > 0;)
        output.append(bytes.data(), static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {output, WIFEXITED(status) && WEXITSTATUS(status) == 1, took.count()};
}

TEST(common, HexWritersDescriptorZeroWrittenOrKeptAfterAPauseByTheRule)
{
    const zero_run written = with_descriptor_zero_free(open_rule::no_pause);
    EXPECT_EQ(written.output, "48 69 \n");
    EXPECT_FALSE(written.zero_kept);
    const zero_run kept = with_descriptor_zero_free(open_rule::pause_zero_fails);
    EXPECT_EQ(kept.output, "48 69 \n");
    EXPECT_TRUE(kept.zero_kept);
    // One pause, not one for each of the seven writes: 0 stays taken. Load
    // cannot shorten the pause, and it would have to add six seconds to it.
    EXPECT_GE(kept.seconds, 1.0);
    EXPECT_LT(kept.seconds, 7.0);
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
