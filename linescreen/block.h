// The judgement of a block of input, shared by the two ways linescreen
// takes its input in (input.cc).
#pragma once

#include <cstddef>
#include <string_view>

#include "output.h"

namespace linescreen {

constexpr std::size_t line_buffer_size = 512;  // as fgets sees the input
constexpr std::size_t piece_max = line_buffer_size - 1;

// Screens the pieces at the start of `data` (and, at the end of the input,
// the unfinished one after them), hands the kept bytes to `out` as runs of
// `data`, and returns how many bytes the pieces took. Without `at_end`, an
// unfinished piece at the end is left for the next block.
std::size_t screen_block(std::string_view data, bool at_end, output &out);

}  // namespace linescreen
