// The one digit table every encoder and writer takes its digits from, so
// hex text is always uppercase.
#pragma once

#include <string_view>

inline constexpr std::string_view hex_digits = "0123456789ABCDEF";

// Hexadecimal digit test of the POSIX locale, without a locale lookup.
constexpr bool is_hex_digit(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') ||
           (c >= 'a' && c <= 'f');
}

// Value of a character that is_hex_digit accepts.
constexpr int hex_digit_value(unsigned char c)
{
    if (c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}
