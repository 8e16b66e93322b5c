// Printing a value's bytes, one character per write.
#pragma once

#include <cstddef>
#include <span>

// Writes one character with the open rule that treats descriptor 0 as a
// failed open.
void write_char(char c);

// The cell of every byte, the last byte of `bytes` first, then a newline.
void print_hex_bytes(std::span<const std::byte> bytes);
