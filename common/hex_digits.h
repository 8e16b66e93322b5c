// The one digit table every encoder and writer takes its digits from, so
// hex text is always uppercase, and its inverse for the decoders.
#pragma once

#include <array>
#include <string_view>

inline constexpr std::string_view hex_digits = "0123456789ABCDEF";

// Value of each byte as a hexadecimal digit of either case, -1 for a byte
// that is none (the POSIX locale's isxdigit). A lookup rather than range
// tests: decoding random text then costs no mispredicted branches.
inline constexpr std::array<signed char, 256> hex_digit_values = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (std::size_t i = 0; i < hex_digits.size(); ++i) {
        const auto upper = static_cast<unsigned char>(hex_digits[i]);
        values[upper] = static_cast<signed char>(i);
        values[upper | 0x20] = static_cast<signed char>(i);  // lower case
    }
    return values;
}();

constexpr bool is_hex_digit(unsigned char c)
{
    return hex_digit_values[c] >= 0;
}

// Value of a character that is_hex_digit accepts.
constexpr int hex_digit_value(unsigned char c)
{
    return hex_digit_values[c];
}
