#include "output.h"

#include <cstring>

#include "io.h"

namespace linescreen {

void output::keep(std::string_view run)
{
    if (run.data() != end)
        std::memmove(end, run.data(), run.size());
    end += run.size();
}

void output::flush()
{
    if (end != start && !failed)
        failed = !write_all(fd, {start, static_cast<std::size_t>(end - start)});
    end = start;
}

}  // namespace linescreen
