#include "standard_streams.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#ifndef HAVE_PWRITEV2
#include <sys/syscall.h>
#endif

namespace {

// Waits until `fd` is ready for `events`: the call that follows tells
// whether it is. Out of line: the callers' usual path then keeps no stack
// object to protect.
[[gnu::noinline]] void wait_for(int fd, short events)
{
    pollfd p{fd, events, 0};
    (void)::poll(&p, 1, -1);
}

// Opens a standard stream by path without waiting, which a named pipe
// without its other end would do forever. The description is ours alone:
// non-blocking, it disturbs nobody, and read_some and write_all wait.
int open_path(const char *path, int flags)
{
    return ::open(path, flags | O_NONBLOCK);
}

bool open_for(int flags, int mode)
{
    return flags >= 0 && ((flags & O_ACCMODE) == O_RDWR || (flags & O_ACCMODE) == mode);
}

bool is_regular_file(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// What descriptor 1 is, asked at the first write: nothing in a run changes
// it. Global rather than a function's static, which would need a guard.
enum class output { unknown, unwritable, regular_file, appending_file, other } stdout_kind = output::unknown;

output describe_stdout()
{
    // Closed or opened for reading only: opening its file again by path
    // would write where the caller never asked for output.
    const int flags = ::fcntl(1, F_GETFL);
    if (!open_for(flags, O_WRONLY))
        return output::unwritable;
    if (!is_regular_file(1))
        return output::other;
    return (flags & O_APPEND) != 0 ? output::appending_file : output::regular_file;
}

// Where the kernel (before Linux 4.16) or an emulator refuses a write's own
// append flag, which it does for every write alike: asked once.
bool append_refused = false;

// One append to descriptor 1's file without the write's own flag: its
// description appends for this one write, which lands beside every other
// appender and moves the offset other writers share, as the flag would.
// (A fresh open with O_APPEND would leave that offset inside our output for
// the next writer to write over.) Failing that, a seek to the end.
ssize_t append_by_flags(std::span<const char> bytes)
{
    const int flags = ::fcntl(1, F_GETFL);
    const bool appending = flags >= 0 && ::fcntl(1, F_SETFL, flags | O_APPEND) == 0;
    if (!appending)
        (void)::lseek(1, 0, SEEK_END);  // the write tells whether it reached the file
    const ssize_t n = ::write(1, bytes.data(), bytes.size());
    if (appending) {
        const int written = errno;  // the write's, for the caller's loop
        (void)::fcntl(1, F_SETFL, flags);  // took O_APPEND: takes it back
        errno = written;
    }
    return n;
}

// The kernel's append for this one write. Where the C library declares no
// pwritev2 (musl before 1.2.5) the system call is made directly: offset -1,
// the file's own, is all ones in both halves every architecture passes it
// in, and 0x10 is the kernel's RWF_APPEND.
ssize_t append_by_kernel(iovec *piece)
{
#ifdef HAVE_PWRITEV2
    return ::pwritev2(1, piece, 1, -1, RWF_APPEND);
#else
    return static_cast<ssize_t>(::syscall(SYS_pwritev2, 1L, piece, 1L, -1L, -1L, 0x10L));
#endif
}

// One write of as much of `bytes` as goes, appended to descriptor 1's file,
// where no other appender can write over it.
ssize_t append_once(int, std::span<const char> bytes)
{
    if (!append_refused) {
        iovec piece{const_cast<char *>(bytes.data()), bytes.size()};
        const ssize_t n = append_by_kernel(&piece);
        if (n >= 0 || (errno != EOPNOTSUPP && errno != EINVAL && errno != ENOSYS))
            return n;
        append_refused = true;
    }
    return append_by_flags(bytes);
}

ssize_t write_once(int fd, std::span<const char> bytes)
{
    return ::write(fd, bytes.data(), bytes.size());
}

// write_all's loop, with `once` for each write. One write even of nothing:
// every piece of output costs its write.
bool put_all(int fd, std::span<const char> bytes, ssize_t (*once)(int, std::span<const char>))
{
    for (;;) {
        const ssize_t n = once(fd, bytes);
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

}  // namespace

bool write_all(int fd, std::span<const char> bytes)
{
    return put_all(fd, bytes, write_once);
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

char *scanfe(std::span<char> buffer, std::size_t limit)
{
    if (buffer.empty())
        return nullptr;
    const auto into = buffer.first(std::min(limit, buffer.size() - 1));
    ssize_t got = -1;
    // The descriptor is closed right after the read: left open it could
    // hold number 1 when standard output is closed, and a later open of
    // "/dev/stdout" would then append to the input file.
    if (const int in = open_path("/dev/stdin", O_RDONLY); in >= 0) {
        got = read_some(in, into);
        (void)::close(in);  // only read from: nothing to learn from its close
    } else if (open_for(::fcntl(0, F_GETFL), O_RDONLY)) {
        // The path is closed to us although the descriptor works: a socket,
        // a file or terminal of another user, no /proc. Read descriptor 0
        // itself, a regular file from its first byte as a fresh open would,
        // and without moving the offset it shares with the caller.
        got = is_regular_file(0) ? ::pread(0, into.data(), into.size(), 0) : read_some(0, into);
    }
    buffer[got > 0 ? static_cast<std::size_t>(got) : 0] = '\0';
    return buffer.data();
}

void forget_stdout()
{
    stdout_kind = output::unknown;
}

void write_stdout(std::span<const char> bytes, open_rule rule)
{
    if (stdout_kind == output::unknown)
        stdout_kind = describe_stdout();
    const output kind = stdout_kind;
    if (kind == output::unwritable) {
        if (rule == open_rule::pause_zero_fails)
            (void)::sleep(1);  // a pause cut short by a signal needs no making up
        return;
    }
    if (kind != output::other) {
        // Through descriptor 1: writers sharing its offset would write over
        // what a fresh open appended through a description of its own.
        const auto once = kind == output::regular_file ? append_once : write_once;
        (void)put_all(1, bytes, once);  // no one to tell of a failure
        return;
    }
    int fd = open_path("/dev/stdout", O_WRONLY | O_APPEND);
    if (rule == open_rule::pause_zero_fails && fd == 0) {
        // Kept: descriptor 0 stays taken until exit.
        (void)::sleep(1);
        fd = open_path("/proc/self/fd/1", O_WRONLY | O_APPEND);
    }
    // The path is closed to us (a socket, another user's terminal or pipe,
    // no /proc) although descriptor 1 works: no pause would open it.
    if (fd < 0)
        fd = ::dup(1);
    (void)write_all(fd >= 0 ? fd : 1, bytes);  // no one to tell of a failure
    if (fd >= 0)
        (void)::close(fd);  // everything is written or lost already
}
