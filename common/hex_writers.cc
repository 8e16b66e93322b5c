#include "hex_writers.h"

#include <array>
#include <cstddef>

#include "codec.h"

static std::array<char, 3> cell_of(unsigned char byte)
{
    return {hex_digits[byte >> 4], hex_digits[byte & 0x0F], ' '};
}

void openf(const char *byte, open_rule rule)
{
    write_stdout({byte, 1}, rule);
}

void openf_and_l(const char *bytes, int length, open_rule rule)
{
    const auto count = length > 0 ? static_cast<std::size_t>(length) : 0;
    write_stdout({bytes, count}, rule);
}

void write_hex(unsigned char byte, open_rule rule)
{
    for (const char &c : cell_of(byte))
        openf(&c, rule);
}

void write_hex_and_l(unsigned char byte, open_rule rule)
{
    const auto cell = cell_of(byte);
    openf_and_l(cell.data(), static_cast<int>(cell.size()), rule);
}

void printfhex(const char *text, open_rule rule)
{
    for (const char *p = text; *p != '\0'; ++p)
        write_hex(static_cast<unsigned char>(*p), rule);
    openf("\n", rule);
}

void printfhex_and_l(const char *bytes, int length, open_rule rule)
{
    for (int i = 0; i < length; ++i)
        write_hex_and_l(static_cast<unsigned char>(bytes[i]), rule);
    openf_and_l("\n", 1, rule);
}
