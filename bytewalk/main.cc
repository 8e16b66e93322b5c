// bytewalk: prints the bytes of two fixed 32-bit integers, most significant
// first on this little-endian machine, one character per write.
#include <cstdint>
#include <span>

#include "walk.h"

int main()
{
    const std::int32_t small = 92;
    print_hex_bytes(std::as_bytes(std::span{&small, 1}));
    const std::int32_t largest = 2147483647;
    print_hex_bytes(std::as_bytes(std::span{&largest, 1}));
    return 0;
}
