// How the programs reach their standard input and output: every rule for
// reopening a standard descriptor by path, and every fallback, in one place.
#pragma once

#include <cstddef>
#include <span>
#include <sys/types.h>

// Writes all of `bytes` to `fd`, going on after short writes, interrupted
// calls and a full non-blocking descriptor. Returns false once a write fails.
bool write_all(int fd, std::span<const char> bytes);

// One read into `into`: what the first read that delivers anything returns,
// 0 at the end of the input, -1 on an error. An empty non-blocking
// descriptor is waited on and an interrupted read made again: neither is
// the end of the input.
ssize_t read_some(int fd, std::span<char> into);

// The single read of standard input of hexscreen, hexcycle and hexecho:
// one read of at most `limit` bytes (and buffer.size() - 1) through
// "/dev/stdin" opened afresh, so a regular file is read from its first byte.
// What that read returns is the whole input, NUL-terminated; a failed open
// or read gives the empty string. Returns buffer.data(), null for no buffer.
char *scanfe(std::span<char> buffer, std::size_t limit);

// What a direct write does when standard output is unwritable (the write
// is lost) and when opening "/dev/stdout" gives descriptor 0.
enum class open_rule {
    no_pause,  // hexscreen's: lost at once; descriptor 0 is written to
    // hexecho's and bytewalk's: lost after a second's pause; descriptor 0
    // is a failed open, kept so that no later open gets 0, and after a
    // second's pause the write goes through "/proc/self/fd/1".
    pause_zero_fails,
};

// One write of `bytes` to standard output, with nothing held back in the
// process. What descriptor 1 is decides the way:
//
//   descriptor 1               the write
//   closed or read-only        lost (after a second's pause, with
//                              pause_zero_fails)
//   regular file               appends through descriptor 1 that no other
//                              appender can write over; it is left at the end
//   regular file, O_APPEND     write_all through descriptor 1
//   anything else (pipe,       write_all through "/dev/stdout" opened with
//   terminal, socket, ...)     O_APPEND for this write alone; a duplicate of
//                              descriptor 1 where the path is closed to us,
//                              descriptor 1 itself without one to spare
//
// A write that fails is lost without a word.
void write_stdout(std::span<const char> bytes, open_rule rule);

// Forgets what descriptor 1 was at the first write, for tests that repoint it.
void forget_stdout();
