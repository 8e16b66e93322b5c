#pragma once

#include <span>

// Copies the first `total` bytes of `source` into `destination` in pieces
// of `piece_size` bytes, the last piece shorter where needed, and stores a
// NUL right after them. The copy stops short of the end of either buffer,
// the terminator always fits, and a piece size of 0 or less or a negative
// total gives the empty string.
void addChunks(std::span<char> destination, std::span<const char> source,
               int piece_size, int total);
