// Byte-wise hex writers: every call reaches standard output before it
// returns, each write through its own open of "/dev/stdout" (see
// direct_write.h for the open rules). A cell is a byte's two uppercase
// digits followed by a space; a dump is the cells of every byte and then one
// newline.
#pragma once

#include "direct_write.h"

// One byte, one write.
void openf(const char *byte, open_rule rule = open_rule::proc_fallback);

// `length` bytes in one write; a length of 0 or less writes nothing.
void openf_and_l(const char *bytes, int length,
                 open_rule rule = open_rule::proc_fallback);

// The cell of `byte`, one write per character: three opens.
void write_hex(unsigned char byte, open_rule rule = open_rule::proc_fallback);

// The cell of `byte` in a single write.
void write_hex_and_l(unsigned char byte,
                     open_rule rule = open_rule::proc_fallback);

// The dump of a string up to its first NUL byte, one write per character.
void printfhex(const char *text, open_rule rule = open_rule::proc_fallback);

// The dump of `length` bytes, NUL bytes included, one write per cell; a
// length of 0 or less prints only the newline.
void printfhex_and_l(const char *bytes, int length,
                     open_rule rule = open_rule::proc_fallback);
