// bytewalk: prints the bytes of two fixed 32-bit integers, most significant
// first, one character per write.
#include <array>
#include <cstdint>

#include "walk.h"

// The bytes of `value`, least significant first, taken by value rather than
// from memory, whose order differs between little- and big-endian machines:
// printed last first, they read most significant first on every machine.
static std::array<std::byte, 4> bytes_of(std::uint32_t value)
{
    return {std::byte(value), std::byte(value >> 8), std::byte(value >> 16), std::byte(value >> 24)};
}

int main()
{
    print_hex_bytes(bytes_of(92));
    print_hex_bytes(bytes_of(2147483647));
    return 0;
}
