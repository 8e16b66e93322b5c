// Printing a value's bytes, most significant first, one character per
// write.
#pragma once

#include <cstdint>

// Writes one character with the open rule that treats descriptor 0 as a
// failed open.
void write_char(char c);

// The cell of each of the four bytes of `value`, most significant first,
// then a newline.
void print_hex_bytes(std::uint32_t value);
