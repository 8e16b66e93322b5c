#include <array>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "standard_streams.h"

namespace {

// Runs scanfe with descriptor 0 pointed at a file holding `content`, read
// up to `consumed` bytes already, or closed when `content` is null.
std::string scanned(const char *content, std::size_t limit, std::size_t consumed = 0)
{
    const int saved = ::dup(0);
    if (content != nullptr) {
        FILE *file = std::tmpfile();
        std::fputs(content, file);
        std::fflush(file);
        ::lseek(::fileno(file), static_cast<off_t>(consumed), SEEK_SET);
        ::dup2(::fileno(file), 0);
        std::fclose(file);
    } else {
        ::close(0);
    }
    std::array<char, 16> buffer;
    buffer.fill('#');
    const char *text = scanfe(buffer, limit);
    ::dup2(saved, 0);
    ::close(saved);
    EXPECT_EQ(text, buffer.data());
    return text;
}

TEST(common, ScanfeOneReadUpToTheLimitAndTheBuffer)
{
    EXPECT_EQ(scanned("hello\n", 1023), "hello\n");
    EXPECT_EQ(scanned("hello\n", 3), "hel");
    EXPECT_EQ(scanned("0123456789abcdefghij", 1023), "0123456789abcde");  // 15 of 16
    EXPECT_EQ(scanned("", 1023), "");
}

TEST(common, ScanfeReadsAFileFromItsFirstByte)
{
    EXPECT_EQ(scanned("hello\n", 1023, 3), "hello\n");
}

TEST(common, ScanfeClosedInputIsEmpty)
{
    EXPECT_EQ(scanned(nullptr, 1023), "");
}

TEST(common, ScanfeLeavesNoDescriptorOpen)
{
    const int before = ::dup(0);
    ::close(before);
    (void)scanned("x", 1023);
    const int after = ::dup(0);
    ::close(after);
    EXPECT_EQ(after, before);
}

TEST(common, ScanfeEmptyBufferIsRefused)
{
    EXPECT_EQ(scanfe({}, 1023), nullptr);
}

}  // namespace
