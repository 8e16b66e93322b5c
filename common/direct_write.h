// Writes to standard output through a descriptor opened afresh for each
// write, so nothing is ever held back in the process.
#pragma once

#include <span>

enum class open_rule {
    // "/dev/stdout" only; a write that cannot open it is lost.
    single,
    // After a failed open, sleep one second and try "/proc/self/fd/1".
    proc_fallback,
    // As proc_fallback, and a descriptor of 0 from the first open counts as
    // a failure too. That descriptor is left open so that no later open can
    // return 0 again.
    proc_fallback_zero_fails,
};

// One write of `bytes` to standard output, opened by path with O_APPEND and
// closed again. When standard output is a socket, which cannot be opened by
// path, the bytes go through a duplicate of descriptor 1 instead, at once.
void direct_write(std::span<const char> bytes, open_rule rule);

// To be called when a program's direct writes are done. If any of them
// reached the output and descriptor 1 is a regular file, moves its offset to
// the end of the file: our writes append through descriptions of their own
// and never move the offset that the shell shares with whoever writes after
// us, who would otherwise overwrite our output.
void settle_stdout_offset();
