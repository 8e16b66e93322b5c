#include "write_all.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

bool write_all(int fd, std::span<const char> bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            (void)::poll(&p, 1, -1);  // the next write tells whether it worked
        } else if (n == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}
