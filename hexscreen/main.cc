// hexscreen: reads one chunk of standard input and prints its hex text cut
// into groups with blocked groups marked, the hex text with fixed patterns
// masked, and the input decoded back from its hex text.
#include <array>

#include "screen.h"
#include "standard_streams.h"

int main()
{
    // One read is the whole input: a pipe that delivers in pieces gives us
    // only its first piece.
    std::array<char, 1024> input;
    hexscreen::process_line(scanfe(input, 1023));
    return 0;
}
