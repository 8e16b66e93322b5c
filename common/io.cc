#include "io.h"

#include <algorithm>
#include <climits>

#include "sys.h"

namespace {

// Waits until `fd` is ready for `events`. The call that follows tells
// whether it is, so the result of the wait itself is not needed. Out of
// line: the callers' usual path then keeps no stack object to protect.
[[gnu::noinline]] void wait_for(int fd, short events)
{
    pollfd p{fd, events, 0};
    (void)sys::poll(&p, 1);
}

}  // namespace

bool write_all(int fd, std::span<const char> bytes)
{
    // One write even of nothing: every piece of output costs its write.
    for (;;) {
        const ssize_t n = sys::write(fd, bytes.data(), bytes.size());
        if (n == static_cast<ssize_t>(bytes.size()))
            return true;  // all of it, as nearly always
        if (n > 0)
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        else if (n < 0 && errno == EAGAIN)
            wait_for(fd, POLLOUT);
        else if (n == 0 || errno != EINTR)
            return false;
    }
}

bool writev_all(int fd, std::span<iovec> runs)
{
    while (!runs.empty()) {
        const auto batch = static_cast<int>(std::min<std::size_t>(runs.size(), IOV_MAX));
        const ssize_t n = sys::writev(fd, runs.data(), batch);
        if (n < 0 && errno == EAGAIN)
            wait_for(fd, POLLOUT);
        else if (n < 0 && errno != EINTR)
            return false;
        else if (n == 0)
            return false;  // nothing taken of runs that are not empty
        if (n <= 0)
            continue;
        // Past the runs written whole, then into the one written in part.
        auto done = static_cast<std::size_t>(n);
        while (!runs.empty() && done >= runs.front().iov_len) {
            done -= runs.front().iov_len;
            runs = runs.subspan(1);
        }
        if (done != 0) {
            runs.front().iov_base = static_cast<char *>(runs.front().iov_base) + done;
            runs.front().iov_len -= done;
        }
    }
    return true;
}

ssize_t read_some(int fd, std::span<char> into)
{
    for (;;) {
        const ssize_t n = sys::read(fd, into.data(), into.size());
        if (n >= 0)
            return n;
        if (errno == EAGAIN)
            wait_for(fd, POLLIN);
        else if (errno != EINTR)
            return -1;
    }
}
