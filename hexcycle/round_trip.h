// The bounded hex encoder and decoder of hexcycle.
#pragma once

#include <span>

// Writes the hex text of `source` into `out` and returns out.data(). Before
// every pair it asks for room for three characters, so a full encoding of n
// bytes needs a capacity of 3n; when a pair no longer fits the text ends
// after the space that follows the last pair written, or, when that space
// fills the buffer, in place of it. Returns nullptr, writing nothing, for a
// null source, a null buffer or a zero capacity.
char *to_hex_string(const char *source, std::span<char> out);

// Decodes hex text into `out`, at most out.size() - 1 bytes and a NUL, and
// returns out.data(). Non-digits are stepped over; a digit is taken with
// the character after it, whatever that is, and a lone final digit is
// dropped. Returns nullptr, writing nothing, for a null text, a null buffer
// or a zero capacity.
char *from_hex_string(const char *hex, std::span<char> out);
