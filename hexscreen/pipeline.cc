#include "screen.h"

#include <array>

#include "codec.h"
#include "standard_streams.h"

namespace hexscreen {

// Every piece goes out through a fresh open of standard output, so the
// output is complete up to the last piece written even if we are killed.
void printnormal(std::string_view text)
{
    write_stdout(text, open_rule::no_pause);
}

void process_line(const char *line, print_function print)
{
    std::array<char, 3072> hex_buffer;
    line_to_hex(line, hex_buffer);
    const std::string_view hex{hex_buffer.data()};

    print("blocked [label]:\n");
    print(is_blocked_hex(hex));
    print("\n");

    const heap_text masked = mask_hex_patterns(hex, mask_patterns, mask_replacements);
    print("masked hexadecimal:\n");
    print(masked ? masked.get() : "");
    print("\n");

    std::array<char, 1024> decoded{};
    hex_to_line(hex, decoded);
    print(decoded.data());
    print("\n");
}

}  // namespace hexscreen
