#include "walk.h"

#include "hex_writers.h"

void write_char(char c)
{
    openf(&c, open_rule::pause_zero_fails);
}

void print_hex_bytes(std::uint32_t value)
{
    // Bytes by value, not by their place in memory, which differs between
    // little- and big-endian machines.
    for (int shift = 24; shift >= 0; shift -= 8)
        write_hex(static_cast<unsigned char>(value >> shift), open_rule::pause_zero_fails);
    write_char('\n');
}
