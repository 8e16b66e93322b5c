#include "filter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

#include "codec.h"
#include "standard_streams.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace linescreen {

namespace {

// An entry's bytes, and whether a line's content can be it: whether encoding
// the bytes again as a line gives the entry back (no newline or NUL pair).
struct entry {
    std::array<char, 63> bytes{};
    std::size_t length = 0;
    bool matchable = false;
};

constexpr auto entries = [] {
    std::array<entry, blocked_hex_patterns.size()> all;
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::array<char, 3 * 63> again{};
        hex_to_line(blocked_hex_patterns[i], all[i].bytes);
        line_to_hex(all[i].bytes.data(), again, line_end::stop);
        all[i].length = std::string_view{all[i].bytes.data()}.size();
        all[i].matchable = blocked_hex_patterns[i] == again.data();
    }
    return all;
}();

bool is_blocked(const char *content, std::size_t length)
{
    return std::any_of(entries.begin(), entries.end(), [&](const entry &e) {
        return e.matchable && e.length == length && std::memcmp(e.bytes.data(), content, length) == 0;
    });
}

// One pass over a block: kept bytes gather at its front for one write.
struct pass {
    char *data;
    std::size_t size;
    bool at_end;
    char *kept_end = data;
    std::size_t run = 0;  // where the kept bytes not yet gathered start

    // Moves the kept bytes up to `end` behind those gathered before.
    void gather(std::size_t end)
    {
        std::memmove(kept_end, data + run, end - run);
        kept_end += end - run;
        run = end;
    }
    void drop(std::size_t from, std::size_t to) { gather(from); run = to; }
};

// Judges the line at `at` as fgets cuts it, in pieces of 511 bytes at most:
// by itself a complete filter, which the masks below only speed up. Returns
// where the line ends, or where the data ran out before a whole piece.
std::size_t judge_pieces(pass &s, std::size_t at)
{
    const char *newline = nullptr;  // set by the piece that ends the line
    while (newline == nullptr && at < s.size) {
        const char *piece = s.data + at;
        const std::size_t avail = std::min(s.size - at, piece_max);
        newline = static_cast<const char *>(std::memchr(piece, '\n', avail));
        if (newline == nullptr && avail < piece_max && !s.at_end)
            break;  // the rest of this piece comes with the next read
        const std::size_t length = newline != nullptr ? static_cast<std::size_t>(newline - piece) + 1 : avail;
        const auto *nul = static_cast<const char *>(std::memchr(piece, '\0', length));
        const std::size_t printed = nul != nullptr ? static_cast<std::size_t>(nul - piece) : length;
        if (is_blocked(piece, nul != nullptr || newline == nullptr ? printed : length - 1))
            s.drop(at, at + length);
        else if (printed < length)
            s.drop(at + printed, at + length);
        at += length;
    }
    return at;
}

#if !defined(LINESCREEN_NO_MASKS)
// The accelerator. Only a line exactly as long as an entry can be dropped:
// masks of the newlines in 64 bytes at a time show where such lines end,
// and just those are compared. A build with LINESCREEN_NO_MASKS leaves it
// out, and judge_pieces judges every line.
static_assert(std::all_of(entries.begin(), entries.end(), [](const entry &e) { return e.length <= 62; }),
              "the newline masks see lines of at most 62 bytes at once");
// Sixteen bytes compared at once (GCC's vector extensions), and bit i of a
// compare's result set where byte i compared equal.
using bytes16 = unsigned char __attribute__((vector_size(16)));

std::uint64_t bits_of(bytes16 compared)
{
#if defined(__SSE2__)
    return static_cast<unsigned>(_mm_movemask_epi8(reinterpret_cast<__m128i>(compared)));
#else
    // Byte i of each half as byte i of a value, 0 or 1 once masked. Times the
    // constant, each lands shifted by 7k + 7 for k = 0..7, no two bits in one
    // place (no carry): byte i at bit 56 + i for k = 7 - i, all in the top byte.
    std::array<std::uint64_t, 2> w;
    std::memcpy(w.data(), &compared, sizeof w);
    if constexpr (std::endian::native == std::endian::big)
        w = {__builtin_bswap64(w[0]), __builtin_bswap64(w[1])};
    return ((w[0] & 0x0101010101010101) * 0x0102040810204080) >> 56 |
           ((w[1] & 0x0101010101010101) * 0x0102040810204080) >> 56 << 8;
#endif
}

// Bit i set where byte i of the 64 at `p` is a newline.
std::uint64_t newline_mask(const char *p)
{
    const auto part = [p](int i) {
        bytes16 v;
        std::memcpy(&v, p + 16 * i, 16);
        return bits_of(v == '\n') << 16 * i;
    };
    return part(0) | part(1) | part(2) | part(3);
}

// The newlines that may end a line as long as an entry, `previous` being the
// mask of the 64 bytes before: shifted by that length plus one, a mask lands
// on each newline that far after another (is_blocked then sees by the length
// whether another newline lies between).
std::uint64_t candidate_ends(std::uint64_t newlines, std::uint64_t previous)
{
    std::uint64_t ends = 0;
    for (const entry &e : entries)
        if (e.matchable)
            ends |= newlines << (e.length + 1) | previous >> (63 - e.length);
    return ends & newlines;
}

// Judges whole lines from the line start `at` of a block without NUL, 64
// bytes at a time, comparing just the candidates. Returns where the current
// line starts once less than 64 bytes are left, or once it could outgrow a
// piece in the next 64: fgets would cut it, so judge_pieces must.
std::size_t judge_lines(pass &s, std::size_t at)
{
    std::size_t line_start = at;
    std::uint64_t previous = std::uint64_t{1} << 63;  // as if a newline came just before `at`
    for (; at + 64 <= s.size && at + 64 - line_start <= piece_max; at += 64) {
        const std::uint64_t newlines = newline_mask(s.data + at);
        for (std::uint64_t ends = candidate_ends(newlines, previous); ends != 0; ends &= ends - 1) {
            const int end = std::countr_zero(ends);
            const std::uint64_t before = newlines & ((std::uint64_t{1} << end) - 1);
            const std::size_t start = before != 0 ? at + 64 - std::countl_zero(before) : line_start;
            if (is_blocked(s.data + start, at + end - start))
                s.drop(start, at + end + 1);
        }
        if (newlines != 0)
            line_start = at + 64 - std::countl_zero(newlines);  // just after the last newline
        previous = newlines;
    }
    return line_start;
}

#else
std::size_t judge_lines(pass &, std::size_t at) { return at; }  // every line by its pieces
#endif

// Judges a block: by the masks as far as they go, the line where they stop
// by its pieces, and so on; a block with a NUL byte (unseen by the masks) all
// by pieces. Returns where the data runs out before a whole line or piece.
std::size_t judge_block(pass &s)
{
    const bool by_pieces = std::memchr(s.data, '\0', s.size) != nullptr;
    for (std::size_t at = 0;;) {
        const std::size_t line = by_pieces ? at : judge_lines(s, at);
        at = judge_pieces(s, line);
        if (at == line)
            return at;
    }
}

// How many bytes of `in` a copy of it to `out` reads: all of them, unless
// both are the same regular file (`linescreen < log >> log`), whose copy
// would come back as input without end: then what it held at the start.
std::uint64_t input_limit(int in, int out)
{
    struct stat i, o;
    if (::fstat(in, &i) != 0 || ::fstat(out, &o) != 0 || !S_ISREG(i.st_mode) || i.st_dev != o.st_dev ||
        i.st_ino != o.st_ino)
        return UINT64_MAX;
    const off_t read_already = std::max<off_t>(::lseek(in, 0, SEEK_CUR), 0);
    return static_cast<std::uint64_t>(std::max<off_t>(i.st_size - read_already, 0));
}

// Blocks of half a megabyte: reads and writes cost little per byte, and a
// block stays in the second-level cache from the read to the write.
alignas(4096) constinit std::array<char, block_size + piece_max> buffer{};

}  // namespace

int is_blocked_hex(std::string_view hex_text)
{
    return std::find(blocked_hex_patterns.begin(), blocked_hex_patterns.end(), hex_text) != blocked_hex_patterns.end();
}

void screen_lines(int in, int out)
{
    std::uint64_t left = input_limit(in, out);  // what we append is not read back
    std::size_t held = 0;  // bytes of an unfinished piece at the front
    for (;;) {
        const auto room = std::span{buffer}.subspan(held);
        const ssize_t got = left == 0 ? 0 : read_some(in, room.first(std::min<std::uint64_t>(room.size(), left)));
        if (got < 0)
            return;  // what is held was never a whole line
        left -= static_cast<std::uint64_t>(got);
        pass s{buffer.data(), held + static_cast<std::size_t>(got), got == 0};
        const std::size_t at = judge_block(s);
        s.gather(at);
        // Nothing after a failed write: the output stays a whole prefix.
        if ((s.kept_end != buffer.data() && !write_all(out, {buffer.data(), s.kept_end})) || got == 0)
            return;
        held = s.size - at;
        std::memmove(buffer.data(), buffer.data() + at, held);
    }
}

}  // namespace linescreen
