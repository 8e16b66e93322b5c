#pragma once

#include <cstdint>

// Prints the four bytes of `value`, most significant first, as
// "%02X %02X %02X %02X\n" on the buffered standard output.
void print_as_hex(std::int32_t value);
