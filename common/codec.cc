#include "codec.h"

#include "hex_digits.h"

void line_to_hex(std::string_view text, std::span<char> out, line_end newline)
{
    if (out.empty())
        return;
    std::size_t len = 0;
    for (char c : text) {
        if (c == '\0' || (newline == line_end::stop && c == '\n'))
            break;
        if (len + 3 >= out.size())
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

void hex_to_line(std::string_view hex, std::span<char> out)
{
    if (out.empty())
        return;
    std::size_t pos = 0;
    std::size_t len = 0;
    while (pos < hex.size() && hex[pos] != '\0' && len + 1 < out.size()) {
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
