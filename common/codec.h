// Hex text: every byte as two uppercase digits, high nibble first, with one
// space between pairs and a terminating NUL. The digit table is the one
// every encoder and writer takes its digits from, so hex text is always
// uppercase. Both ways are constexpr, so that tables of hex text can be
// decoded as the programs are compiled.
#pragma once

#include <array>
#include <span>
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

enum class line_end {
    encode,  // a newline byte is encoded like any other byte
    stop,    // encoding stops at the first newline byte
};

// Writes the hex text of `text` (up to its first NUL byte, or its first
// newline with line_end::stop) into `out`. Only whole pairs that leave room
// for the terminator are written: at most (out.size() - 1) / 3 bytes are
// encoded and the rest is dropped. The text is always terminated inside
// `out` unless `out` is empty.
constexpr void line_to_hex(std::string_view text, std::span<char> out, line_end newline = line_end::encode)
{
    if (out.empty())
        return;
    std::size_t len = 0;
    for (char c : text) {
        if (c == '\0' || (newline == line_end::stop && c == '\n') || len + 3 >= out.size())
            break;
        const auto byte = static_cast<unsigned char>(c);
        out[len++] = hex_digits[byte >> 4];
        out[len++] = hex_digits[byte & 0x0F];
        out[len++] = ' ';
    }
    if (len != 0)
        --len;  // the space after the last pair
    out[len] = '\0';
}

// Decodes hex text into `out` followed by a NUL. Two adjacent hex digits of
// either case make one byte, one space after a pair is skipped with it, and
// any other character is passed over one at a time. At most out.size() - 1
// bytes are stored.
constexpr void hex_to_line(std::string_view hex, std::span<char> out)
{
    if (out.empty())
        return;
    std::size_t len = 0;
    for (std::size_t pos = 0; pos < hex.size() && hex[pos] != '\0' && len + 1 < out.size();) {
        const auto high = static_cast<unsigned char>(hex[pos]);
        const auto low = pos + 1 < hex.size() ? static_cast<unsigned char>(hex[pos + 1]) : 0;
        if (is_hex_digit(high) && is_hex_digit(low)) {
            out[len++] = static_cast<char>(hex_digit_value(high) * 16 + hex_digit_value(low));
            pos += 2;
            if (pos < hex.size() && hex[pos] == ' ')
                ++pos;
        } else {
            ++pos;
        }
    }
    out[len] = '\0';
}
