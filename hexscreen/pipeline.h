// The run of hexscreen on one chunk of input.
#pragma once

#include <string_view>

namespace hexscreen {

// Where each piece of output goes.
using print_function = void (*)(std::string_view text);

// Writes a piece of output to standard output at once.
void printnormal(std::string_view text);

// Prints, in eight pieces, the heading "blocked [label]:", the blocked-group
// report of the input's hex text, an empty line, the heading "masked
// hexadecimal:", the masked hex text and a newline, and the input decoded
// again from its hex text and a newline. The input ends at its first NUL
// byte; at most 1023 bytes of it take part.
void process_line(const char *line, print_function print = printnormal);

}  // namespace hexscreen
