// hexnum: turns a fixed piece of hex text into a 32-bit integer and prints it.
#include <cstdio>

#include "parse.h"

int main()
{
    std::printf("0x%08X\n", static_cast<unsigned>(hex_string_to_int("AB BC 4F 0A")));
    return 0;
}
