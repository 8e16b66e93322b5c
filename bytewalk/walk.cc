#include "walk.h"

#include "hex_writers.h"

void write_char(char c)
{
    openf(&c, open_rule::pause_zero_fails);
}

void print_hex_bytes(std::span<const std::byte> bytes)
{
    for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte)
        write_hex(std::to_integer<unsigned char>(*byte), open_rule::pause_zero_fails);
    write_char('\n');
}
