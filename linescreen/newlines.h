// Where the newline bytes of the input are, one bit per byte, and where
// NUL bytes are: judging a line then costs a few word operations rather
// than a look at every byte.
#pragma once

#include <cstddef>
#include <cstdint>

// Sets words[c] to the newline mask of the 64-byte chunk c of `data` (bit
// b for byte 64c + b), for `chunks` chunks, and stops before the first
// chunk that holds a NUL byte. Returns the number of chunks mapped. Uses
// the widest vectors the processor has.
std::size_t map_chunks(const char *data, std::size_t chunks, std::uint64_t *words);

// The same for the `size` bytes (fewer than 64) of a last, short chunk: its
// newline mask, or no value when it holds a NUL byte.
struct tail_masks {
    std::uint64_t newlines;
    bool has_nul;
};
tail_masks map_tail(const char *data, std::size_t size);
