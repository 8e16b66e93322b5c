// hexscreen: reads one chunk of standard input and prints its hex text cut
// into groups with blocked groups marked, the hex text with fixed patterns
// masked, and the input decoded back from its hex text.
#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "codec.h"
#include "direct_write.h"
#include "scanfe.h"
#include "screen.h"

using namespace hexscreen;

namespace {

// Every piece of output goes out at once through a fresh open of standard
// output, so the report is complete in the output even if we are killed.
void printnormal(std::string_view text)
{
    direct_write(text, open_rule::single);
}

void process_line(const char *line)
{
    constexpr std::array<std::string_view, 3> mask_patterns = {
        "68 65 6C 6C 6F",  // hello
        "57 6F 72 6C 64",  // World
        "6D 69 6E 69",     // mini
    };
    constexpr std::array<std::string_view, 3> mask_replacements = {
        "20 20 20 20 20",  // five spaces
        "FF FF FF FF",     // four bytes 0xFF
        "20 20 20 20",     // four spaces
    };

    std::array<char, 3072> hex_buffer;
    line_to_hex(line, hex_buffer);
    const std::string_view hex{hex_buffer.data()};

    printnormal("blocked [label]:\n");
    printnormal(is_blocked_hex(hex));
    printnormal("\n");

    const std::string masked = mask_hex_patterns(hex, mask_patterns, mask_replacements);
    printnormal("masked hexadecimal:\n");
    printnormal(masked);
    printnormal("\n");

    std::array<char, 1024> decoded{};
    hex_to_line(hex, decoded);
    printnormal(decoded.data());
    printnormal("\n");
}

}  // namespace

int main()
{
    // One read is the whole input: a pipe that delivers in pieces gives us
    // only its first piece.
    std::array<char, 1024> input;
    process_line(scanfe(input));
    return 0;
}
