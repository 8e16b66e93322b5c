#include "round_trip.h"

#include <cstring>

#include "codec.h"

char *to_hex_string(const char *source, std::span<char> out)
{
    if (source == nullptr || out.data() == nullptr || out.empty())
        return nullptr;
    const std::size_t length = std::strlen(source);
    std::size_t pos = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (pos + 3 > out.size())
            break;
        const auto byte = static_cast<unsigned char>(source[i]);
        out[pos++] = hex_digits[byte >> 4];
        out[pos++] = hex_digits[byte & 0x0F];
        if (i + 1 < length)
            out[pos++] = ' ';
    }
    // Only a space can fill the buffer to its end; the terminator takes
    // its place there.
    if (pos == out.size())
        --pos;
    out[pos] = '\0';
    return out.data();
}

// A character's value as the decoder reckons it, also for the unexamined
// low character: upper-cased, letters count from 'A' = 10, everything else
// from '0' = 0.
static int digit_value(char c)
{
    const auto u = static_cast<unsigned char>(c);
    const int upper = u >= 'a' && u <= 'z' ? u - 32 : u;
    return upper > 0x40 ? upper - 55 : upper - 48;
}

char *from_hex_string(const char *hex, std::span<char> out)
{
    if (hex == nullptr || out.data() == nullptr || out.empty())
        return nullptr;
    const std::size_t length = std::strlen(hex);
    std::size_t read = 0;
    std::size_t len = 0;
    while (read < length && len + 1 < out.size()) {
        if (!is_hex_digit(static_cast<unsigned char>(hex[read]))) {
            ++read;
            continue;
        }
        const int high = digit_value(hex[read++]) & 0x0F;
        if (read == length)
            break;
        const int low = digit_value(hex[read++]);
        out[len++] = static_cast<char>((high * 16 + low) & 0xFF);
    }
    out[len] = '\0';
    return out.data();
}
