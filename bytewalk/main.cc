// bytewalk: prints the bytes of two fixed 32-bit integers, most significant
// first, one character per write.
#include "walk.h"

int main()
{
    print_hex_bytes(92);
    print_hex_bytes(2147483647);
    return 0;
}
