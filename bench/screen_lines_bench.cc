// linescreen's filter, standard input to standard output, with the width
// its one argument names (none, portable, avx2 or widest): the benchmark
// sets the masks against the path without them, in one build.
#include <algorithm>
#include <array>
#include <string_view>

#include "filter.h"

int main(int argc, char **argv)
{
    constexpr std::array<std::string_view, 4> names = {"none", "portable", "avx2", "widest"};
    const auto *name = std::find(names.begin(), names.end(), std::string_view{argc == 2 ? argv[1] : ""});
    if (name == names.end())
        return 2;
    const auto width = static_cast<linescreen::mask_width>(name - names.begin());
    if (!linescreen::has_mask_width(width))
        return 3;
    linescreen::screen_lines(0, 1, width);
    return 0;
}
