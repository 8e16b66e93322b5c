// linescreen's output: the kept runs of a block, moved together at the
// front of the block where they lie and written with one write, so that
// each kept byte is copied by the kernel once, as cat's are. (Handing the
// kernel the runs where they lie, one iovec each, costs more than moving
// them: the kernel pays for every piece it copies.)
#pragma once

#include <cstddef>
#include <string_view>

namespace linescreen {

struct output {
    int fd = -1;
    // Set by the first write that fails: nothing is written after it, so
    // the output is always a whole prefix of what it should be, never one
    // with a hole.
    bool failed = false;
    char *start = nullptr;  // where the kept bytes of the block gather
    char *end = nullptr;

    // Starts gathering at the front of a new block.
    void begin(char *block) { start = end = block; }
    // Adds a run of the block, which lies at or after the kept bytes.
    void keep(std::string_view run);
    // Writes the kept bytes gathered so far.
    void flush();
};

}  // namespace linescreen
