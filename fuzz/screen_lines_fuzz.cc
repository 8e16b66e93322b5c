// The line filter on text built from the input: lines as long as an entry,
// a block of masks, a piece of a line, or thereabouts, blocked lines, NUL
// bytes and a last line without its newline, sometimes after enough filler
// to end near the first read. Every width must give what the fgets loop gives.
#include <array>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "fgets_filter.h"
#include "filter.h"

namespace {

// A file in memory holding `text`, read from its start.
int file_of(const std::string &text)
{
    const int fd = ::memfd_create("screen_lines", 0);
    FUZZ_CHECK(fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()));
    FUZZ_CHECK(::lseek(fd, 0, SEEK_SET) == 0);
    return fd;
}

std::string filtered_by_screen_lines(const std::string &input, linescreen::mask_width width)
{
    const int in = file_of(input);
    const int out = file_of("");
    linescreen::screen_lines(in, out, width);
    std::string text(static_cast<std::size_t>(::lseek(out, 0, SEEK_CUR)), '\0');
    FUZZ_CHECK(::pread(out, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()));
    ::close(in);
    ::close(out);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using linescreen::block_size, linescreen::piece_max;
    constexpr std::array<std::size_t, 4> lengths = {11, 64, 448, piece_max};
    FuzzedDataProvider provider(data, size);
    std::string input;
    if (provider.ConsumeIntegralInRange(0, 15) == 0) {  // lines up to near the first read's end
        const std::size_t end = block_size + piece_max - provider.ConsumeIntegralInRange<std::size_t>(0, 600);
        while (input.size() + 448 <= end)
            input += std::string(447, 'f') + '\n';
    }
    while (provider.remaining_bytes() != 0) {
        const std::size_t near = lengths[provider.ConsumeIntegralInRange<std::size_t>(0, lengths.size() - 1)];
        const std::size_t length = near + provider.ConsumeIntegralInRange<std::size_t>(0, 4) - 2;
        switch (provider.ConsumeIntegralInRange(0, 3)) {
        case 0: input += "hello world"; break;
        case 1: input += std::string(length, 'x'); break;
        case 2: input += std::string(length, 'x').replace(length / 2, 1, 1, '\0'); break;
        default: input += provider.ConsumeBytesAsString(length); break;
        }
        if (provider.ConsumeBool())
            input += '\n';
    }
    const std::string expected = filtered_by_fgets(input);
    for (const auto width : {linescreen::mask_width::none, linescreen::mask_width::portable, linescreen::mask_width::avx2})
        FUZZ_CHECK(!linescreen::has_mask_width(width) || filtered_by_screen_lines(input, width) == expected);
    return 0;
}
