#include "scanfe.h"

#include <algorithm>

#include "standard_streams.h"

char *scanfe(std::span<char> buffer, std::size_t limit)
{
    if (buffer.empty())
        return nullptr;
    const ssize_t got = read_stdin(buffer.first(std::min(limit, buffer.size() - 1)));
    buffer[got > 0 ? static_cast<std::size_t>(got) : 0] = '\0';
    return buffer.data();
}
