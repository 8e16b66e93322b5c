#include "quad.h"

#include <array>
#include <cstdio>
#include <cstring>

void print_as_hex(std::int32_t value)
{
    std::array<unsigned char, sizeof value> bytes;
    std::memcpy(bytes.data(), &value, sizeof value);
    std::printf("%02X %02X %02X %02X\n", bytes[3], bytes[2], bytes[1], bytes[0]);
}
