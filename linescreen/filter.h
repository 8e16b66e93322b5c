// The line filter of linescreen.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace linescreen {

// Line contents, as hex text without the line end, that are dropped. The
// second ends in the newline pair, which the encoder never writes for a
// line: kept as it stands, so a line "tovlerk" passes.
inline constexpr std::array<std::string_view, 2> blocked_hex_patterns = {
    "68 65 6C 6C 6F 20 77 6F 72 6C 64",  // hello world
    "74 6F 76 6C 65 72 6B 0A",
};

// The longest piece of a line judged on its own, as fgets reads into 512
// bytes; and the size of a block. The buffer holds a block and a piece:
// each read fills what the piece held over from the last one leaves.
inline constexpr std::size_t piece_max = 511;
inline constexpr std::size_t block_size = std::size_t{1} << 19;

// Returns 1 if `hex_text` equals an entry of blocked_hex_patterns, else 0.
int is_blocked_hex(std::string_view hex_text);

// How the filter finds the lines it may drop: with no masks, by pieces (the
// reference); by newline masks of the portable width, of x86-64's AVX2, or
// the widest the processor has (what runs). A width it lacks copies nothing.
enum class mask_width { none, portable, avx2, widest };
bool has_mask_width(mask_width width);

// Copies `in` to `out` in pieces as fgets cuts lines (511 bytes at most),
// but for those whose content has an entry as hex text; up to a NUL byte.
void screen_lines(int in, int out, mask_width width = mask_width::widest);

}  // namespace linescreen
