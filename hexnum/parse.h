#pragma once

#include <cstdint>

// Builds a 32-bit value from the hex digits of a NUL-terminated string,
// filling it from the top nibble down. Digits of either case count; every
// other character is passed over. Digits after the eighth have no place
// left and are ignored.
std::int32_t hex_string_to_int(const char *text);
