// The line judgement of linescreen.
#pragma once

#include <array>
#include <string_view>

namespace linescreen {

// Line contents, as hex text without the line end, that are dropped.
inline constexpr std::array<std::string_view, 2> blocked_hex_patterns = {
    "68 65 6C 6C 6F 20 77 6F 72 6C 64",  // hello world
    // Ends in the newline pair, which the encoder never produces for a line:
    // kept as it stands, so a line "tovlerk" passes.
    "74 6F 76 6C 65 72 6B 0A",
};

// Returns 1 if `hex_text` equals an entry of blocked_hex_patterns, else 0.
int is_blocked_hex(std::string_view hex_text);

// Whether the piece of a line read at once (at most 511 bytes, ending at its
// newline if that fits) is dropped: whether the hex text of its content up
// to the first newline or NUL byte, at most 341 pairs of it, equals an entry
// of the table.
bool is_blocked_line(std::string_view piece);

// Copies standard input to standard output in pieces of at most 511 bytes,
// each ending at a newline where one comes first, dropping the blocked
// pieces and printing each other piece up to its first NUL byte.
void screen_lines(int in, int out);

}  // namespace linescreen
