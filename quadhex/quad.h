#pragma once

#include <cstdint>

// Prints the four bytes of `value` as they lie in memory, highest address
// first, as "%02X %02X %02X %02X\n" on standard output.
void print_as_hex(std::int32_t value);
