// Owned, NUL-terminated text on the heap, released with free().
//
// The programs keep clear of the C++ runtime's out-of-line parts (std::string
// among them), so that starting one costs what starting a C program costs.
#pragma once

#include <cstdlib>
#include <memory>

struct free_deleter {
    void operator()(char *text) const { std::free(text); }
};

using heap_text = std::unique_ptr<char, free_deleter>;
