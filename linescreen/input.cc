#include <array>
#include <cstring>

#include "block.h"
#include "filter.h"
#include "io.h"

namespace linescreen {

namespace {

// Large enough that a read and a write cost little per byte, small enough
// to stay in the processor's cache between the read, the judgement and
// the write.
constexpr std::size_t block_size = 1 << 20;

// Static rather than on the stack, and the same whatever the input's size.
alignas(4096) constinit std::array<char, block_size + piece_max> buffer{};

}  // namespace

void screen_lines(int in, int out_fd)
{
    output out{out_fd};
    std::size_t held = 0;  // bytes of an unfinished piece at the front
    // An output that failed for good would never take the rest: reading on
    // (endless input, perhaps) would only burn time.
    while (!out.failed) {
        const ssize_t got = read_some(in, std::span{buffer}.subspan(held));
        if (got < 0)
            break;  // as at the end: what is held was never a whole line
        const std::size_t end = held + static_cast<std::size_t>(got);
        out.begin(buffer.data());
        const std::size_t used = screen_block({buffer.data(), end}, got == 0, out);
        out.flush();
        if (got == 0)
            break;
        held = end - used;
        std::memmove(buffer.data(), buffer.data() + used, held);
    }
}

}  // namespace linescreen
