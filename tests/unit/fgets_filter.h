// linescreen's filter as a plain loop over fgets: the reference that the
// block-reading filter is held to by the unit tests and the fuzz target.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "codec.h"
#include "filter.h"

inline std::string filtered_by_fgets(std::string input)
{
    FILE *in = ::fmemopen(input.data(), input.size(), "r");
    std::string out;
    std::array<char, 512> line;  // its own size, not the filter's constant
    std::array<char, 3 * 512> hex;
    while (in != nullptr && std::fgets(line.data(), line.size(), in) != nullptr) {
        line_to_hex(line.data(), hex, line_end::stop);
        if (linescreen::is_blocked_hex(hex.data()) != 1)
            out += line.data();
    }
    if (in != nullptr)
        std::fclose(in);
    return out;
}
