#pragma once

#include <span>

// Writes all of `bytes` to `fd`, going on after short writes, interrupted
// calls and a full non-blocking descriptor. Returns false once a write fails.
bool write_all(int fd, std::span<const char> bytes);
