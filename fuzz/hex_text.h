// Properties of hex text shared by the fuzz targets.
#pragma once

#include <string_view>

// Two uppercase digits per pair, single spaces between pairs, nothing else.
inline bool is_hex_text(std::string_view text)
{
    if (text.empty())
        return true;
    if (text.size() % 3 != 2)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool digit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (i % 3 == 2 ? c != ' ' : !digit)
            return false;
    }
    return true;
}
