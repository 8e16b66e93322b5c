// Writes to standard output with nothing held back in the process: each
// write reaches the output before it returns.
#pragma once

#include <span>

#include "standard_streams.h"

// One write of `bytes` to standard output, opened for it under `rule` (see
// open_stdout) and closed again. A write that cannot reach the output, or
// that fails, is lost without a word.
void direct_write(std::span<const char> bytes, open_rule rule);
