#include "filter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "hex_digits.h"
#include "newlines.h"
#include "io.h"

namespace linescreen {

namespace {

constexpr std::size_t line_buffer_size = 512;  // as fgets sees the input
constexpr std::size_t piece_max = line_buffer_size - 1;
constexpr std::size_t hex_capacity = 1024;
constexpr std::size_t block_size = 1 << 17;

constexpr std::size_t max_encoded = (hex_capacity - 1) / 3;

// The bytes an entry is the hex text of. The encoder's text is one-to-one
// with the bytes it encodes, so a line's content matches an entry exactly
// when it equals these bytes: no line needs to be encoded to be judged. An
// entry that is not hex text as the encoder writes it can match nothing.
struct entry_bytes {
    std::array<char, max_encoded> bytes{};
    std::size_t len = 0;
    bool matchable = false;
};

// The value of an uppercase digit as the encoder writes it, or -1.
constexpr int upper_digit_value(char c)
{
    const std::size_t at = hex_digits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

constexpr entry_bytes bytes_of(std::string_view entry)
{
    entry_bytes e;
    if (entry.size() % 3 != 2 || entry.size() > 3 * max_encoded - 1)
        return e;
    for (std::size_t i = 0; i < entry.size(); i += 3) {
        const int high = upper_digit_value(entry[i]);
        const int low = upper_digit_value(entry[i + 1]);
        if (high < 0 || low < 0 || (i + 2 < entry.size() && entry[i + 2] != ' '))
            return e;
        e.bytes[e.len++] = static_cast<char>(high * 16 + low);
    }
    e.matchable = true;
    return e;
}

constexpr auto blocked_bytes = [] {
    std::array<entry_bytes, blocked_hex_patterns.size()> table;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = bytes_of(blocked_hex_patterns[i]);
    return table;
}();

// Whether any entry has `content_length` bytes: the cheap first test.
constexpr bool could_match(std::size_t content_length)
{
    return std::any_of(blocked_bytes.begin(), blocked_bytes.end(), [&](const entry_bytes &e) {
        return e.matchable && e.len == content_length;
    });
}

bool content_is_blocked(std::string_view content)
{
    return std::any_of(blocked_bytes.begin(), blocked_bytes.end(), [&](const entry_bytes &e) {
        return e.matchable && e.len == content.size() &&
               std::memcmp(e.bytes.data(), content.data(), content.size()) == 0;
    });
}

// Output gathered in a block and written when full or before waiting for
// more input. After a failed write nothing more is written, so the output
// is always a whole prefix of what it should be, never one with a hole.
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
        if (s.size() >= bytes.size() / 4) {  // large runs skip the copy
            flush();
            if (!failed)
                failed = !write_all(fd, s);
            return;
        }
        std::memcpy(bytes.data() + len, s.data(), s.size());
        len += s.size();
    }
};

// Static rather than on the stack: together they are over a quarter megabyte.
constinit std::array<char, block_size + piece_max> buffer{};
constinit output out{};
constinit std::array<std::uint64_t, newline_words(block_size + piece_max)> newline_bits{};

// How much of a piece is printed: nothing when it is blocked, otherwise
// everything before its first NUL byte. `may_hold_nul` is false when the
// caller knows the piece has none.
std::size_t printed_length(std::string_view piece, bool may_hold_nul)
{
    const char *nul = may_hold_nul
        ? static_cast<const char *>(std::memchr(piece.data(), '\0', piece.size())) : nullptr;
    const std::size_t printable = nul != nullptr ? static_cast<std::size_t>(nul - piece.data()) : piece.size();
    const std::size_t content = printable - (nul == nullptr && piece.ends_with('\n') ? 1 : 0);
    if (could_match(content) && content_is_blocked({piece.data(), content}))
        return 0;
    return printable;
}

// Screens the whole pieces at the start of `data` (and, at the end of the
// input, the unfinished one after them) and returns how many bytes they
// took. Kept pieces that follow each other are printed as one run straight
// from the input.
std::size_t screen_block(std::string_view data, bool at_end)
{
    const bool may_hold_nul = std::memchr(data.data(), '\0', data.size()) != nullptr;
    map_newlines(data, newline_bits);
    std::size_t start = 0;
    std::size_t run = 0;  // start of the kept bytes not yet printed
    while (start < data.size()) {
        const std::size_t avail = data.size() - start;
        const char *base = data.data() + start;
        const std::size_t limit = start + std::min(avail, piece_max);
        const std::size_t newline = find_newline(newline_bits, start, limit);
        std::size_t len;
        if (newline != limit)
            len = newline - start + 1;
        else if (avail >= piece_max || at_end)
            len = std::min(avail, piece_max);
        else
            break;
        const std::size_t printed = printed_length({base, len}, may_hold_nul);
        if (printed != len) {
            out.put({data.data() + run, start + printed - run});
            run = start + len;
        }
        start += len;
    }
    out.put({data.data() + run, start - run});
    return start;
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
    return content_is_blocked({piece.data(), content});
}

void screen_lines(int in, int out_fd)
{
    out.fd = out_fd;
    out.len = 0;
    out.failed = false;
    std::size_t held = 0;  // bytes of an unfinished piece at the front
    for (;;) {
        out.flush();
        // An output that failed for good would never take the rest: reading
        // on (endless input, perhaps) would only burn time.
        if (out.failed)
            break;
        const ssize_t got = read_some(in, std::span{buffer}.subspan(held));
        if (got < 0)
            break;  // as at the end: what is held was never a whole line
        const std::size_t end = held + static_cast<std::size_t>(got);
        const std::size_t used = screen_block({buffer.data(), end}, got == 0);
        if (got == 0)
            break;
        held = end - used;
        std::memmove(buffer.data(), buffer.data() + used, held);
    }
    out.flush();
}

}  // namespace linescreen
