#include "io.h"

#include <cerrno>
#include <poll.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// Waits until `fd` is ready for `events`. The call that follows tells
// whether it is, so the result of the wait itself is not needed. Out of
// line: the callers' usual path then keeps no stack object to protect.
[[gnu::noinline]] void wait_for(int fd, short events)
{
    pollfd p{fd, events, 0};
    (void)::poll(&p, 1, -1);
}

}  // namespace

bool write_all(int fd, std::span<const char> bytes, bool append)
{
    // One write even of nothing: every piece of output costs its write.
    for (;;) {
        iovec piece{const_cast<char *>(bytes.data()), bytes.size()};
        const ssize_t n = append ? ::pwritev2(fd, &piece, 1, -1, RWF_APPEND) : ::write(fd, bytes.data(), bytes.size());
        if (n == static_cast<ssize_t>(bytes.size()))
            return true;  // all of it, as nearly always
        if (n > 0)
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        else if (n < 0 && errno == EAGAIN)
            wait_for(fd, POLLOUT);
        else if (n < 0 && append && (errno == EOPNOTSUPP || errno == EINVAL || errno == ENOSYS)) {
            append = false;
            (void)::lseek(fd, 0, SEEK_END);  // fails only where no offset exists
        } else if (n == 0 || errno != EINTR)
            return false;
    }
}

ssize_t read_some(int fd, std::span<char> into)
{
    for (;;) {
        const ssize_t n = ::read(fd, into.data(), into.size());
        if (n >= 0)
            return n;
        if (errno == EAGAIN)
            wait_for(fd, POLLIN);
        else if (errno != EINTR)
            return -1;
    }
}
