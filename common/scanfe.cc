#include "scanfe.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "descriptor.h"

// Opening by path gives a description of our own, so the read starts at the
// first byte of a regular file whatever the shell's descriptor has consumed.
// A socket cannot be opened by path (ENXIO); then the read goes through a
// duplicate of descriptor 0 so that the input is not silently lost.
static descriptor open_input()
{
    descriptor in{::open("/dev/stdin", O_RDONLY)};
    if (!in.valid() && errno == ENXIO)
        in = descriptor{::dup(0)};
    return in;
}

char *scanfe(std::span<char> buffer, std::size_t limit)
{
    if (buffer.empty())
        return nullptr;
    ssize_t got = 0;
    {
        // The descriptor is closed right after the read: left open it could
        // hold number 1 when standard output is closed, and a later open of
        // "/dev/stdout" would then append to the input file.
        descriptor in = open_input();
        if (in.valid()) {
            do
                got = ::read(in.get(), buffer.data(), std::min(limit, buffer.size() - 1));
            while (got < 0 && errno == EINTR);
        }
    }
    buffer[got > 0 ? static_cast<std::size_t>(got) : 0] = '\0';
    return buffer.data();
}
