// hexscreen's run on a chunk of input, and the screening of hex text it
// does: the blocked-group report and pattern masking.
#pragma once

#include <array>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

namespace hexscreen {

// Where each piece of output goes.
using print_function = void (*)(std::string_view text);

// Writes a piece of output to standard output at once.
void printnormal(std::string_view text);

// Prints, in eight pieces, the heading "blocked [label]:", the blocked-group
// report of the input's hex text, an empty line, the heading "masked
// hexadecimal:", the masked hex text and a newline, and the input decoded
// again from its hex text and a newline. The input ends at its first NUL
// byte; at most 1023 bytes of it take part.
void process_line(const char *line, print_function print = printnormal);

// Byte patterns, as hex text, that block any group holding one of them.
inline constexpr std::array<std::string_view, 2> blocked_hex_patterns = {
    "53 6F 6C 65 6D 6E",  // Solemn
    "63 6F",              // co
};

// The patterns hexscreen masks and, at the same places, what replaces each.
inline constexpr std::array<std::string_view, 3> mask_patterns = {
    "68 65 6C 6C 6F",  // hello
    "57 6F 72 6C 64",  // World
    "6D 69 6E 69",     // mini
};
inline constexpr std::array<std::string_view, 3> mask_replacements = {
    "20 20 20 20 20",  // five spaces
    "FF FF FF FF",     // four bytes 0xFF
    "20 20 20 20",     // four spaces
};

// Returns 1 if any blocked pattern occurs anywhere in `group`, else 0.
int is_blocked(std::string_view group);

// Texts, patterns and replacements given to these functions end at their
// first NUL byte, if they have one.

// Cuts hex text into groups of at most 16 pairs, each group also ending at a
// pair 0A, and returns one line per group: the group itself, or "[BLOCKED]"
// when it holds a blocked pattern. The report lives in a static buffer of
// 10240 bytes that the next call overwrites; tokens or reports that would
// not fit their buffers are cut short rather than overflow them.
std::string_view is_blocked_hex(std::string_view hex_text);

// Owned text on the heap, released with free(): std::string would bring
// the C++ runtime's out-of-line parts, and their cost, into the program.
struct free_deleter {
    void operator()(char *text) const { std::free(text); }
};
using heap_text = std::unique_ptr<char, free_deleter>;

// Returns a copy of `text` in which every occurrence of patterns[i] is
// replaced by replacements[i], the patterns taken in order and each search
// going on after the text it has just inserted. The copy grows when a
// replacement is longer than its pattern. Null when memory runs out.
heap_text mask_hex_patterns(std::string_view text,
                            std::span<const std::string_view> patterns,
                            std::span<const std::string_view> replacements);

}  // namespace hexscreen
