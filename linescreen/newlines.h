// Where the newline bytes of a block are, one bit per byte: finding the end
// of each line then costs a few instructions rather than a library call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Words needed to map `bytes` bytes.
constexpr std::size_t newline_words(std::size_t bytes)
{
    return (bytes + 63) / 64;
}

// Sets bit b of bits[w] exactly when data[64 * w + b] is a newline. `bits`
// holds at least newline_words(data.size()) words.
void map_newlines(std::string_view data, std::span<std::uint64_t> bits);

// Index of the first newline at or after `from` and before `limit`, or
// `limit` when there is none. from < limit <= the size of the mapped data.
std::size_t find_newline(std::span<const std::uint64_t> bits, std::size_t from,
                         std::size_t limit);
