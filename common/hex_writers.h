// Byte-wise hex writers: every write reaches standard output at once,
// through write_stdout under `rule`. A cell is a byte's two uppercase digits
// and a space; a dump is the cells of every byte and then one newline.
#pragma once

#include "standard_streams.h"

// One byte, one write.
void openf(const char *byte, open_rule rule);

// `length` bytes in one write; a length of 0 or less writes nothing.
void openf_and_l(const char *bytes, int length, open_rule rule);

// The cell of `byte`, one write per character: three opens.
void write_hex(unsigned char byte, open_rule rule);

// The cell of `byte` in a single write.
void write_hex_and_l(unsigned char byte, open_rule rule);

// The dump of a string up to its first NUL byte, one write per character.
void printfhex(const char *text, open_rule rule);

// The dump of `length` bytes, NUL bytes included, one write per cell; a
// length of 0 or less prints only the newline.
void printfhex_and_l(const char *bytes, int length, open_rule rule);
