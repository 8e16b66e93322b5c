#include "quad.h"

#include "buffered_stdout.h"

void print_as_hex(std::int32_t value)
{
    // Bytes by value, the same on machines of either byte order.
    const auto bits = static_cast<std::uint32_t>(value);
    print_stdout("%02X %02X %02X %02X\n", bits >> 24, (bits >> 16) & 0xFF, (bits >> 8) & 0xFF, bits & 0xFF);
}
