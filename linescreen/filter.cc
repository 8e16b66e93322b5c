#include "filter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#include "codec.h"
#include "write_all.h"

namespace linescreen {

namespace {

constexpr std::size_t line_buffer_size = 512;  // as fgets sees the input
constexpr std::size_t piece_max = line_buffer_size - 1;
constexpr std::size_t hex_capacity = 1024;
constexpr std::size_t block_size = 1 << 17;

// Hex text of n bytes is 3n - 1 characters long, so a piece can only match
// an entry whose length is that of its content's hex text. Only those
// pieces are encoded at all.
constexpr bool could_match(std::size_t content_length)
{
    if (content_length == 0 || content_length > (hex_capacity - 1) / 3)
        return false;
    return std::any_of(blocked_hex_patterns.begin(), blocked_hex_patterns.end(),
                       [&](std::string_view e) { return e.size() == 3 * content_length - 1; });
}

// Output gathered in a block and written when full or before waiting for
// more input. After a failed write the rest is discarded.
struct output {
    int fd = -1;
    std::size_t len = 0;
    bool failed = false;
    std::array<char, block_size> bytes;

    void flush()
    {
        if (len != 0 && !failed)
            failed = !write_all(fd, {bytes.data(), len});
        len = 0;
    }
    void put(std::string_view s)
    {
        if (s.size() > bytes.size() - len)
            flush();
        if (s.size() >= bytes.size()) {
            if (!failed)
                failed = !write_all(fd, s);
            return;
        }
        std::memcpy(bytes.data() + len, s.data(), s.size());
        len += s.size();
    }
};

// Static rather than on the stack: together they are a quarter megabyte.
constinit std::array<char, block_size + piece_max> buffer{};
constinit output out{};

// One read of the input, waiting on a descriptor that was left
// non-blocking rather than taking its emptiness for the end.
ssize_t read_some(int fd, char *into, std::size_t room)
{
    for (;;) {
        const ssize_t n = ::read(fd, into, room);
        if (n >= 0)
            return n;
        if (errno == EAGAIN) {
            pollfd p{fd, POLLIN, 0};
            (void)::poll(&p, 1, -1);  // the next read tells what happened
        } else if (errno != EINTR) {
            return -1;
        }
    }
}

// Drops a blocked piece and prints any other up to its first NUL byte.
void judge_and_print(std::string_view piece, output &out)
{
    const auto *nul = static_cast<const char *>(std::memchr(piece.data(), '\0', piece.size()));
    const std::size_t printable = nul != nullptr ? static_cast<std::size_t>(nul - piece.data()) : piece.size();
    const std::size_t content = printable - (nul == nullptr && piece.ends_with('\n') ? 1 : 0);
    if (could_match(content) && is_blocked_line(piece))
        return;
    out.put({piece.data(), printable});
}

}  // namespace

int is_blocked_hex(std::string_view hex_text)
{
    for (std::string_view entry : blocked_hex_patterns)
        if (hex_text == entry)
            return 1;
    return 0;
}

bool is_blocked_line(std::string_view piece)
{
    const std::size_t content = std::min(piece.find_first_of(std::string_view{"\n\0", 2}), piece.size());
    if (!could_match(content))
        return false;
    std::array<char, hex_capacity> hex;
    line_to_hex(piece, hex, line_end::stop);
    return is_blocked_hex(hex.data()) == 1;
}

void screen_lines(int in, int out_fd)
{
    out.fd = out_fd;
    out.len = 0;
    out.failed = false;
    std::size_t held = 0;  // bytes of an unfinished piece at the front
    for (;;) {
        out.flush();
        const ssize_t got = read_some(in, buffer.data() + held, buffer.size() - held);
        if (got < 0)
            break;  // as at the end: what is held was never a whole line
        if (got == 0) {
            if (held != 0)
                judge_and_print({buffer.data(), held}, out);
            break;
        }
        const std::size_t end = held + static_cast<std::size_t>(got);
        std::size_t start = 0;
        for (;;) {
            const std::size_t avail = end - start;
            const char *base = buffer.data() + start;
            const auto *nl = static_cast<const char *>(std::memchr(base, '\n', std::min(avail, piece_max)));
            std::size_t len;
            if (nl != nullptr)
                len = static_cast<std::size_t>(nl - base) + 1;
            else if (avail >= piece_max)
                len = piece_max;
            else
                break;
            judge_and_print({base, len}, out);
            start += len;
        }
        held = end - start;
        std::memmove(buffer.data(), buffer.data() + start, held);
    }
    out.flush();
}

}  // namespace linescreen
