// hexecho: dumps one chunk of standard input as hex pairs, each followed by
// a space, then a newline, writing every output character on its own.
#include <array>

#include "hex_writers.h"
#include "standard_streams.h"

// A descriptor of 0 from opening standard output counts as a failed open
// here; see open_rule.
static void printfchar(const char *text)
{
    printfhex(text, open_rule::pause_zero_fails);
}

int main()
{
    std::array<char, 1024> input;
    printfchar(scanfe(input, 1023));
    return 0;
}
