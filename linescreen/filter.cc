#include "filter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "block.h"
#include "hex_digits.h"
#include "newlines.h"

namespace linescreen {

namespace {

constexpr std::size_t hex_capacity = 1024;

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
    // A line's content ends before its newline (and its first NUL byte):
    // an entry holding either can match nothing.
    e.matchable = std::string_view{e.bytes.data(), e.len}.find_first_of(std::string_view{"\n\0", 2}) ==
                  std::string_view::npos;
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

// A line can only be dropped when its content is exactly as long as an
// entry. These are the newline-to-newline distances (content length plus
// one) of the entries, as bits: a newline mask shifted by such a distance
// and laid over itself shows every line of that length at once.
constexpr std::uint64_t drop_distances = [] {
    std::uint64_t distances = 0;
    for (const entry_bytes &e : blocked_bytes)
        if (e.matchable && e.len + 1 < 64)
            distances |= std::uint64_t{1} << (e.len + 1);
    return distances;
}();
static_assert(std::none_of(blocked_bytes.begin(), blocked_bytes.end(),
                           [](const entry_bytes &e) { return e.matchable && e.len + 1 >= 64; }),
              "the fast judgement sees lines of at most 62 bytes at once");

// An entry as the 16 bytes that end a line of it, right-aligned: the
// newline before the line, the entry and the line's own newline, in two
// words, with masks of the bytes that count. Comparing a line with it costs
// two loads and a few word operations.
struct line_pattern {
    std::array<std::uint64_t, 2> bytes{};
    std::array<std::uint64_t, 2> counts{};
};

constexpr std::size_t patterned_max = 14;  // an entry and two newlines in 16 bytes

// The entries that can match, alone, so that judging a line loops over
// nothing else.
constexpr std::size_t matchable_count = static_cast<std::size_t>(
    std::count_if(blocked_bytes.begin(), blocked_bytes.end(), [](const entry_bytes &e) { return e.matchable; }));

constexpr auto matchable_entries = [] {
    std::array<entry_bytes, matchable_count> entries{};
    std::copy_if(blocked_bytes.begin(), blocked_bytes.end(), entries.begin(),
                 [](const entry_bytes &e) { return e.matchable; });
    return entries;
}();

constexpr auto line_patterns = [] {
    std::array<line_pattern, matchable_count> patterns{};
    for (std::size_t i = 0; i < matchable_count; ++i) {
        const entry_bytes &e = matchable_entries[i];
        if (e.len > patterned_max)
            continue;
        std::array<char, 16> bytes{}, counts{};
        for (std::size_t k = 0; k < e.len + 2; ++k) {
            const std::size_t at = 16 - (e.len + 2) + k;
            bytes[at] = k == 0 || k == e.len + 1 ? '\n' : e.bytes[k - 1];
            counts[at] = static_cast<char>(0xFF);
        }
        patterns[i] = {std::bit_cast<std::array<std::uint64_t, 2>>(bytes),
                       std::bit_cast<std::array<std::uint64_t, 2>>(counts)};
    }
    return patterns;
}();

// The content length of the blocked line that ends with the newline at
// line[end], where a line starts after a newline or at `line` itself; 0
// when that line is not blocked.
inline std::size_t blocked_line_ending_at(const char *line, std::size_t end)
{
    for (std::size_t i = 0; i < matchable_count; ++i) {
        const entry_bytes &e = matchable_entries[i];
        const line_pattern &p = line_patterns[i];
        if (end < e.len)
            continue;
        if (e.len <= patterned_max && end >= 15) {
            std::array<std::uint64_t, 2> words;
            std::memcpy(words.data(), line + end - 15, sizeof words);
            if ((((words[0] ^ p.bytes[0]) & p.counts[0]) | ((words[1] ^ p.bytes[1]) & p.counts[1])) == 0)
                return e.len;
        } else if ((end == e.len || line[end - e.len - 1] == '\n') &&
                   std::memcmp(line + end - e.len, e.bytes.data(), e.len) == 0) {
            return e.len;
        }
    }
    return 0;
}

// Words without a newline after which a line may be longer than a piece:
// a gap of 512 bytes between newlines holds at least seven whole words.
constexpr int quiet_words_for_long_line = 7;

// How much of a piece is printed: nothing when it is blocked, otherwise
// everything before its first NUL byte.
std::size_t printed_length(std::string_view piece)
{
    const auto *nul = static_cast<const char *>(std::memchr(piece.data(), '\0', piece.size()));
    const std::size_t printable = nul != nullptr ? static_cast<std::size_t>(nul - piece.data()) : piece.size();
    const std::size_t content = printable - (nul == nullptr && piece.ends_with('\n') ? 1 : 0);
    if (could_match(content) && content_is_blocked({piece.data(), content}))
        return 0;
    return printable;
}

// What one pass over a block has decided so far: where the kept bytes not
// yet handed to the output start.
struct screening {
    std::string_view data;
    output &out;
    std::size_t run = 0;

    void drop(std::size_t from, std::size_t to)
    {
        out.keep({data.data() + run, from - run});
        run = to;
    }
};

// Judges the whole lines from `from` on, from the newline masks of its
// 64-byte chunks, and returns where it stopped: at the start of the first
// line it leaves to the piece-by-piece judgement (one holding a NUL byte,
// or one that may be longer than a piece) or of the unfinished last line.
// `from` is taken for the start of a line. The masks are made a window at a
// time, so that stopping early wastes little.
std::size_t screen_whole_lines(screening &s, std::size_t from)
{
    constexpr std::size_t window_chunks = 64;
    std::array<std::uint64_t, window_chunks> words;
    // The chunks of a window where a line may be dropped, gathered without
    // a branch per chunk: a mispredicted branch costs more than the rest of
    // a chunk's judgement.
    std::array<std::pair<std::size_t, std::uint64_t>, window_chunks> candidates;
    const char *base = s.data.data() + from;
    const std::size_t size = s.data.size() - from;
    std::uint64_t previous = std::uint64_t{1} << 63;  // as if a newline came just before
    std::size_t last_at = 0;                          // the last chunk with a newline
    std::uint64_t last_newlines = 0;
    int quiet = 0;
    std::size_t at = 0;
    bool stopped = false;
    while (at < size && !stopped) {
        std::size_t chunks = std::min(window_chunks, (size - at) / 64);
        std::size_t mapped = map_chunks(base + at, chunks, words.data());
        if (chunks == 0) {  // the last, short chunk
            const tail_masks m = map_tail(base + at, size - at);
            words[0] = m.newlines;
            chunks = 1;
            mapped = m.has_nul ? 0 : 1;
        }
        stopped = mapped < chunks;  // a NUL byte in the next chunk
        std::size_t found = 0;
        for (std::size_t c = 0; c < mapped; ++c, at += 64) {
            const std::uint64_t newlines = words[c];
            quiet = newlines == 0 ? quiet + 1 : 0;
            if (quiet == quiet_words_for_long_line) [[unlikely]] {
                stopped = true;
                break;
            }
            std::uint64_t maybe = 0;
            for (std::uint64_t d = drop_distances; d != 0; d &= d - 1) {
                const int distance = std::countr_zero(d);
                maybe |= newlines & ((newlines << distance) | (previous >> (64 - distance)));
            }
            candidates[found] = {at, maybe};
            found += maybe != 0;
            last_at = newlines != 0 ? at : last_at;
            last_newlines = newlines != 0 ? newlines : last_newlines;
            previous = newlines;
        }
        for (std::size_t k = 0; k < found; ++k)
            for (std::uint64_t maybe = candidates[k].second; maybe != 0; maybe &= maybe - 1) {
                const std::size_t end = candidates[k].first + static_cast<std::size_t>(std::countr_zero(maybe));
                if (const std::size_t len = blocked_line_ending_at(base, end); len != 0)
                    s.drop(from + end - len, from + end + 1);
            }
    }
    if (last_newlines == 0)
        return from;
    return from + last_at + 64 - static_cast<std::size_t>(std::countl_zero(last_newlines));
}

// Judges the line at `from` piece by piece, the way fgets cuts it: pieces
// of at most 511 bytes, the last ending at the newline. Returns where the
// line ends, or where the data ran out before a whole piece unless this is
// the end of the input.
std::size_t screen_line_by_pieces(screening &s, std::size_t from, bool at_end)
{
    while (from < s.data.size()) {
        const std::size_t avail = s.data.size() - from;
        const char *piece = s.data.data() + from;
        const auto *newline = static_cast<const char *>(std::memchr(piece, '\n', std::min(avail, piece_max)));
        std::size_t len;
        if (newline != nullptr)
            len = static_cast<std::size_t>(newline - piece) + 1;
        else if (avail >= piece_max || at_end)
            len = std::min(avail, piece_max);
        else
            break;
        const std::size_t printed = printed_length({piece, len});
        if (printed != len)
            s.drop(from + printed, from + len);
        from += len;
        if (newline != nullptr)
            break;
    }
    return from;
}

}  // namespace

std::size_t screen_block(std::string_view data, bool at_end, output &out)
{
    screening s{data, out};
    std::size_t at = 0;
    for (;;) {
        at = screen_whole_lines(s, at);
        const std::size_t next = screen_line_by_pieces(s, at, at_end);
        if (next == at)
            break;
        at = next;
    }
    out.keep({data.data() + s.run, at - s.run});
    return at;
}

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

}  // namespace linescreen
