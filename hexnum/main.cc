// hexnum: turns a fixed piece of hex text into a 32-bit integer and prints it.
#include "parse.h"
#include "buffered_stdout.h"

int main()
{
    print_stdout("0x%08X\n", static_cast<unsigned>(hex_string_to_int("AB BC 4F 0A")));
    flush_stdout();
    return 0;
}
