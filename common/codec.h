// Hex text: every byte as two uppercase digits, high nibble first, with one
// space between pairs and a terminating NUL.
#pragma once

#include <span>
#include <string_view>

enum class line_end {
    encode,  // a newline byte is encoded like any other byte
    stop,    // encoding stops at the first newline byte
};

// Writes the hex text of `text` (up to its first NUL byte, or its first
// newline with line_end::stop) into `out`. Only whole pairs that leave room
// for the terminator are written: at most (out.size() - 1) / 3 bytes are
// encoded and the rest is dropped. The text is always terminated inside
// `out` unless `out` is empty.
void line_to_hex(std::string_view text, std::span<char> out,
                 line_end newline = line_end::encode);

// Decodes hex text into `out` followed by a NUL. Two adjacent hex digits of
// either case make one byte, one space after a pair is skipped with it, and
// any other character is passed over one at a time. At most out.size() - 1
// bytes are stored.
void hex_to_line(std::string_view hex, std::span<char> out);
