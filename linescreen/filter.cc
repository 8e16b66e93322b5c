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

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace linescreen {

namespace {

// Shifted by a line's length plus one, a newline stays in its mask word or
// the one before only for lines of at most 62 bytes: asserted on the text.
constexpr std::size_t entry_max = 62;
static_assert(std::all_of(blocked_hex_patterns.begin(), blocked_hex_patterns.end(),
                          [](std::string_view hex) { return hex.size() <= 3 * entry_max - 1; }),
              "a blocked entry is longer than the masks can see");

// The entries a line's content can be, as bytes: those that give the entry
// back when encoded again as a line (no newline or NUL pair).
struct entry {
    std::array<char, entry_max + 1> bytes{};
    std::size_t length = 0;
};

constexpr auto can_be = [](std::string_view hex) {
    std::array<char, entry_max + 1> bytes{};
    std::array<char, 3 * entry_max + 1> again{};
    hex_to_line(hex, bytes);
    line_to_hex(bytes.data(), again, line_end::stop);
    return hex == again.data();
};
constexpr auto matchable = [] {
    std::array<entry, std::count_if(blocked_hex_patterns.begin(), blocked_hex_patterns.end(), can_be)> some;
    auto next = some.begin();
    for (const std::string_view hex : blocked_hex_patterns)
        if (can_be(hex)) {
            hex_to_line(hex, next->bytes);
            next->length = std::string_view{next->bytes.data()}.size();
            ++next;
        }
    return some;
}();

bool is_blocked(const char *content, std::size_t length)
{
    return std::any_of(matchable.begin(), matchable.end(), [&](const entry &e) {
        return e.length == length && std::memcmp(e.bytes.data(), content, length) == 0;
    });
}

// A block as it is judged, the bytes kept moved together at its front to be
// written at once: a drop moves those kept since the last one down, over
// bytes before the dropped ones, which the judges never read again.
struct block {
    char *data;
    std::size_t size;
    bool at_end;  // no more input comes after this block
    std::size_t kept = 0;  // bytes at the front that are written
    std::size_t unmoved = 0;  // where the kept bytes not yet moved there start

    void keep_until(std::size_t end)
    {
        if (kept != unmoved)
            std::memmove(data + kept, data + unmoved, end - unmoved);
        kept += end - unmoved;
        unmoved = end;
    }
    void drop(std::size_t from, std::size_t to) { keep_until(from); unmoved = to; }
};

// Judges pieces from `at` as fgets cuts lines, 511 bytes at most, until one
// ends at `until` or beyond or the data runs out before a whole piece, and
// returns where they stop: by itself a complete filter, sped up by masks.
std::size_t judge_pieces(block &b, std::size_t at, std::size_t until)
{
    while (at < until) {
        const char *piece = b.data + at;
        const std::size_t avail = std::min(b.size - at, piece_max);
        const auto *newline = static_cast<const char *>(std::memchr(piece, '\n', avail));
        if (newline == nullptr && avail < piece_max && !b.at_end)
            break;  // the rest of this piece comes with the next read
        const std::size_t length = newline != nullptr ? static_cast<std::size_t>(newline - piece) + 1 : avail;
        const auto *nul = static_cast<const char *>(std::memchr(piece, '\0', length));
        const std::size_t printed = nul != nullptr ? static_cast<std::size_t>(nul - piece) : length;
        if (is_blocked(piece, nul != nullptr || newline == nullptr ? printed : length - 1))
            b.drop(at, at + length);
        else if (printed < length)
            b.drop(at + printed, at + length);
        at += length;
    }
    return at;
}

// The accelerator, 256 bytes at a time: only a line as long as an entry can
// be dropped, so masks of the newlines show where such lines end and just
// those are compared. A span with a NUL (which cuts a printed line short) or
// without a newline (a line fgets may cut) is judged by its pieces instead.
constexpr std::size_t span = 256;
static_assert(2 * span - 1 <= piece_max);  // a line the masks judge is one piece

struct masks {
    std::array<std::uint64_t, span / 64> newlines;  // bit i set where byte i of its 64 is a newline
    std::uint64_t nuls;  // not 0 if any byte is NUL
};

// The portable width, every processor's and the reference: 16 bytes at a
// time, each that is 0 found by sums that carry into no other byte.
using bytes16 = unsigned char __attribute__((vector_size(16)));
bytes16 zero_bytes(bytes16 x) { return ~(((x & 0x7F) + 0x7F) | x) & 0x80; }  // 0x80 where 0

std::uint64_t bits_of(bytes16 high)  // bit 7 of byte i as bit i
{
#if defined(__SSE2__)
    return static_cast<unsigned>(_mm_movemask_epi8(reinterpret_cast<__m128i>(high)));
#else
    // Bit 7 of byte i at bit 8i; times the constant, each lands shifted by
    // 7k + 7 for k = 0..7, no two in one place: byte i's at 56 + i.
    std::array<std::uint64_t, 2> w;
    std::memcpy(w.data(), &high, sizeof w);
    if constexpr (std::endian::native == std::endian::big)
        w = {__builtin_bswap64(w[0]), __builtin_bswap64(w[1])};
    return (w[0] >> 7) * 0x0102040810204080 >> 56 | (w[1] >> 7) * 0x0102040810204080 >> 56 << 8;
#endif
}

masks masks_portable(const char *p)
{
    masks m{};
#pragma GCC unroll 16
    for (std::size_t i = 0; i < span / 16; ++i) {
        bytes16 v;
        std::memcpy(&v, p + 16 * i, 16);
        m.newlines[i / 4] |= bits_of(zero_bytes(v ^ '\n')) << 16 * (i % 4);
        m.nuls |= bits_of(zero_bytes(v));
    }
    return m;
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) masks masks_avx2(const char *p)  // 32 bytes at a time
{
    masks m{};
    __m256i least;
#pragma GCC unroll 8
    for (std::size_t i = 0; i < span / 32; ++i) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 32 * i));
        const auto newlines = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('\n'))));
        m.newlines[i / 2] |= std::uint64_t{newlines} << 32 * (i % 2);
        least = i == 0 ? v : _mm256_min_epu8(least, v);
    }
    m.nuls = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(least, _mm256_setzero_si256())));
    return m;
}
#endif

// Judges whole lines from the line start `at` a span at a time, then the
// span the masks cannot judge by its pieces, and returns where they stop. A
// newline shifted by an entry's length plus one lands on such a line's end.
template <masks (*masks_of)(const char *)>
std::size_t judge_masked(block &b, std::size_t at)
{
    const char *const data = b.data;  // locals, which the stores of b.drop leave alone
    const std::size_t size = b.size, first = at;
    std::uint64_t before = std::uint64_t{1} << 63;  // the mask word before: as if a newline came just before `at`
    for (; at + span <= size; at += span) {
        const masks m = masks_of(data + at);
        std::array<std::array<std::uint64_t, span / 64>, matchable.size()> ends{};  // of each entry's lines
        std::uint64_t any_newline = 0, any_end = 0;
#pragma GCC unroll 4
        for (std::size_t i = 0; i < span / 64; ++i) {
            const std::uint64_t newlines = m.newlines[i];
            for (std::size_t k = 0; k < matchable.size(); ++k) {
                const std::size_t shift = matchable[k].length + 1;
                ends[k][i] = (newlines << shift | before >> (64 - shift)) & newlines;
                any_end |= ends[k][i];
            }
            any_newline |= newlines;
            before = newlines;
        }
        if (m.nuls != 0 || any_newline == 0)
            break;
#pragma GCC unroll 4
        for (std::size_t i = 0; i < span / 64 && any_end != 0; ++i) {
            std::uint64_t all = 0;
            for (const auto &entry_ends : ends)
                all |= entry_ends[i];
            for (; all != 0; all &= all - 1) {  // in order, as b.drop needs them
                const int bit = std::countr_zero(all);
                const std::size_t end = at + 64 * i + static_cast<std::size_t>(bit);
                for (std::size_t k = 0; k < matchable.size(); ++k)
                    if ((ends[k][i] >> bit & 1) != 0 &&
                        std::memcmp(data + end - matchable[k].length, matchable[k].bytes.data(), matchable[k].length) == 0) {
                        b.drop(end - matchable[k].length, end + 1);
                        break;
                    }
            }
        }
    }
    const std::size_t until = std::min(at + span, size);
    while (at > first && data[at - 1] != '\n')
        --at;  // back to the line's start, less than a span before
    return judge_pieces(b, at, until);
}

std::size_t judge_unmasked(block &b, std::size_t at) { return judge_pieces(b, at, b.size); }

// The widest width runs: AVX2 (BMI2 with it) where the processor has it and
// the kernel saves its registers. Each loop is compiled for its masks.
using judge_fn = std::size_t(block &, std::size_t);
#if defined(__x86_64__)
__attribute__((target("avx2,bmi,bmi2"), flatten)) std::size_t judge_avx2(block &b, std::size_t at)
{
    return judge_masked<masks_avx2>(b, at);
}

bool has_avx2()
{
    unsigned a, b, c, d, saved, high;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0)
        return false;
    __asm__("xgetbv" : "=a"(saved), "=d"(high) : "c"(0));
    constexpr unsigned needed = bit_AVX2 | bit_BMI | bit_BMI2;
    return (saved & 6) == 6 && __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 && (b & needed) == needed;
}
#endif

judge_fn *judge_for(mask_width width)
{
    if (width == mask_width::none)
        return judge_unmasked;
#if defined(__x86_64__)
    if (width != mask_width::portable && has_avx2())
        return judge_avx2;
#endif
    return width != mask_width::avx2 ? judge_masked<masks_portable> : nullptr;
}

// How much of `in` is read: all, unless `out` is the same regular file
// (`linescreen < log >> log`), whose copy would come back as input without
// end: then what it held at the start.
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
// block stays in the second-level cache from its read to its write.
alignas(4096) constinit std::array<char, block_size + piece_max> buffer{};

}  // namespace

int is_blocked_hex(std::string_view hex_text)
{
    return std::find(blocked_hex_patterns.begin(), blocked_hex_patterns.end(), hex_text) != blocked_hex_patterns.end();
}

bool has_mask_width(mask_width width) { return judge_for(width) != nullptr; }

void screen_lines(int in, int out, mask_width width)
{
    judge_fn *const judge = judge_for(width);
    if (judge == nullptr)
        return;
    std::uint64_t left = input_limit(in, out);  // what we append is not read back
    std::size_t held = 0;  // bytes of an unfinished piece at the front
    for (;;) {
        const auto room = std::span{buffer}.subspan(held);
        const ssize_t got = left == 0 ? 0 : read_some(in, room.first(std::min<std::uint64_t>(room.size(), left)));
        if (got < 0)
            return;  // what is held was never a whole line
        left -= static_cast<std::uint64_t>(got);
        block b{buffer.data(), held + static_cast<std::size_t>(got), got == 0};
        std::size_t at = 0;
        for (std::size_t next; (next = judge(b, at)) != at;)
            at = next;
        b.keep_until(at);
        // Nothing after a failed write: the output stays a whole prefix.
        if ((b.kept != 0 && !write_all(out, {b.data, b.kept})) || got == 0)
            return;
        held = b.size - at;
        std::memmove(buffer.data(), buffer.data() + at, held);
    }
}

}  // namespace linescreen
