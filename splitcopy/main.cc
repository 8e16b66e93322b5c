// splitcopy: fills a buffer with six bytes in two pieces of three. It
// prints nothing; the filled buffer is the whole effect.
#include <array>

#include "chunks.h"

int main()
{
    constexpr std::array<char, 6> source = {'A', 'B', 'C', 'D', 'E', 'F'};
    std::array<char, 100> destination{};
    addChunks(destination, source, 3, 6);
    return 0;
}
