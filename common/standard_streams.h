// How the programs reach their standard input and output: every rule for
// reopening a standard descriptor by path, and every fallback, in one place.
#pragma once

#include <span>
#include <sys/types.h>

#include "descriptor.h"

enum class open_rule {
    // "/dev/stdout" only; a write that cannot reach the output is lost.
    single,
    // When standard output is closed or open for reading only, sleep one
    // second before giving the write up.
    proc_fallback,
    // As proc_fallback, and a descriptor of 0 from opening "/dev/stdout"
    // counts as a failure: it is left open, so that no later open can return
    // 0 again, and after a one-second pause the write goes through
    // "/proc/self/fd/1".
    proc_fallback_zero_fails,
};

// The single read of standard input, through "/dev/stdin" opened afresh:
// a regular file is read from its first byte. Returns what read(2) would.
ssize_t read_stdin(std::span<char> into);

// Where one direct write to standard output goes: `fd`, or nowhere when it
// is negative. When `owned`, the descriptor was opened for this write alone
// and the writer closes it.
struct stdout_target {
    int fd = -1;
    bool owned = false;
};

// Opens standard output for one write under `rule`: "/dev/stdout" by path
// with O_APPEND, or descriptor 1 itself moved to the end of a regular file.
stdout_target open_stdout(open_rule rule);
