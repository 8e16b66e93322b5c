// The single read of standard input shared by hexscreen, hexcycle and hexecho.
#pragma once

#include <cstddef>
#include <span>

// Opens "/dev/stdin" by path and performs exactly one read of at most
// `limit` bytes (and never more than buffer.size() - 1), then terminates the
// bytes read with a NUL. Whatever that one read returns is the whole input;
// a failed open or read gives the empty string. Returns buffer.data(), or
// nullptr for an empty span.
char *scanfe(std::span<char> buffer, std::size_t limit);
