// Whole reads and writes on descriptors that may be non-blocking or
// interrupted: a pipe or socket handed to us non-blocking is waited on,
// never taken for empty or full for good.
#pragma once

#include <span>
#include <sys/types.h>

// Writes all of `bytes` to `fd`, going on after short writes, interrupted
// calls and a full non-blocking descriptor. Returns false once a write fails.
// With `append`, each write is an append of its own to the regular file on
// `fd`, which is left at its end: where the kernel (before Linux 4.16) or an
// emulator refuses that, a move to the end and a write, the nearest to it.
bool write_all(int fd, std::span<const char> bytes, bool append = false);

// One read into `into`: what the first read that delivers anything returns,
// 0 at the end of the input, -1 on an error. A non-blocking descriptor with
// nothing in it yet is waited on (poll), and an interrupted call is made
// again, so that neither is taken for the end of the input.
ssize_t read_some(int fd, std::span<char> into);
