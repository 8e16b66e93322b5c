#include "buffered_stdout.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "standard_streams.h"

namespace {

// What print_stdout holds, and whether it goes out line by line.
constinit std::array<char, 4096> held{};
std::size_t held_length = 0;
enum class lines { unknown, flushed, held } line_rule = lines::unknown;

}  // namespace

void print_stdout(const char *format, ...)
{
    if (held_length > held.size() / 2)
        flush_stdout();  // room for any line the programs print
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(held.data() + held_length, held.size() - held_length, format, args);
    va_end(args);
    held_length = std::min(held_length + static_cast<std::size_t>(std::max(n, 0)), held.size() - 1);
    if (line_rule == lines::unknown)
        line_rule = ::isatty(1) ? lines::flushed : lines::held;
    if (line_rule == lines::flushed && std::memchr(held.data(), '\n', held_length) != nullptr)
        flush_stdout();
}

void flush_stdout()
{
    if (held_length != 0)
        (void)write_all(1, {held.data(), held_length});  // lost if it fails, as a stream's would be
    held_length = 0;
}
