#include "parse.h"

#include "codec.h"

std::int32_t hex_string_to_int(const char *text)
{
    std::uint32_t result = 0;
    int shift = 28;
    for (const char *p = text; *p != '\0' && shift >= 0; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (!is_hex_digit(c))
            continue;
        result |= static_cast<std::uint32_t>(hex_digit_value(c)) << shift;
        shift -= 4;
    }
    return static_cast<std::int32_t>(result);
}
