// hexcycle: encodes one chunk of standard input as hex text, decodes that
// text again and prints all three on labelled lines.
#include <array>
#include <cstdio>

#include "round_trip.h"
#include "scanfe.h"

int main()
{
    std::array<char, 100> input;
    std::array<char, 300> encoded;
    std::array<char, 100> decoded;

    scanfe(input, 99);
    to_hex_string(input.data(), encoded);
    from_hex_string(encoded.data(), decoded);

    std::printf("Original:      %s\n", input.data());
    std::printf("Hex Encoded:   %s\n", encoded.data());
    std::printf("Hex Decoded:   %s\n", decoded.data());
    return 0;
}
