// hexcycle: encodes one chunk of standard input as hex text, decodes that
// text again and prints all three on labelled lines.
#include <array>

#include "round_trip.h"
#include "buffered_stdout.h"
#include "standard_streams.h"

int main()
{
    std::array<char, 100> input;
    std::array<char, 300> encoded;
    std::array<char, 100> decoded;

    scanfe(input, 99);
    to_hex_string(input.data(), encoded);
    from_hex_string(encoded.data(), decoded);

    print_stdout("Original:      %s\n", input.data());
    print_stdout("Hex Encoded:   %s\n", encoded.data());
    print_stdout("Hex Decoded:   %s\n", decoded.data());
    flush_stdout();
    return 0;
}
