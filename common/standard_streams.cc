#include "standard_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io.h"

namespace {

// Opens a standard stream by path without ever waiting: a named pipe whose
// other end is gone would hold a blocking open forever. The description is
// ours alone, so leaving it non-blocking disturbs nobody; read_some and
// write_all wait for data or room instead.
int open_path(const char *path, int flags)
{
    return ::open(path, flags | O_NONBLOCK);
}

bool open_for(int fd, int mode)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ((flags & O_ACCMODE) == O_RDWR || (flags & O_ACCMODE) == mode);
}

bool is_regular_file(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// What descriptor 1 is, asked at the first write: nothing in a run changes
// it. Global rather than a function's static, which would need a guard.
enum class output { unknown, unwritable, regular_file, other };
output stdout_kind = output::unknown;

output describe_stdout()
{
    if (stdout_kind == output::unknown) {
        // Closed or opened for reading only: opening its file again by path
        // would write where the caller never asked for output.
        if (!open_for(1, O_WRONLY))
            stdout_kind = output::unwritable;
        else
            stdout_kind = is_regular_file(1) ? output::regular_file : output::other;
    }
    return stdout_kind;
}

void pause_before_giving_up()
{
    (void)::sleep(1);  // a pause cut short by a signal needs no making up
}

}  // namespace

ssize_t read_stdin(std::span<char> into)
{
    // The descriptor is closed right after the read: left open it could
    // hold number 1 when standard output is closed, and a later open of
    // "/dev/stdout" would then append to the input file.
    if (const int in = open_path("/dev/stdin", O_RDONLY); in >= 0) {
        const ssize_t got = read_some(in, into);
        (void)::close(in);  // only read from: nothing to learn from its close
        return got;
    }
    // The path is closed to us although the descriptor works: a socket, a
    // file or terminal of another user, no /proc. Read descriptor 0 itself,
    // a regular file from its first byte as a fresh open would, and without
    // moving the offset it shares with the caller.
    if (!open_for(0, O_RDONLY))
        return -1;
    if (is_regular_file(0))
        return ::pread(0, into.data(), into.size(), 0);
    return read_some(0, into);
}

void write_stdout(std::span<const char> bytes, open_rule rule)
{
    switch (describe_stdout()) {
    case output::unwritable:
        if (rule == open_rule::pause_zero_fails)
            pause_before_giving_up();
        return;
    case output::regular_file:
        // Through descriptor 1 itself, at the end of the file: a fresh open
        // would append through a description of its own, and every writer
        // sharing descriptor 1's offset (the shell, a job beside us) would
        // then write over our output.
        (void)::lseek(1, 0, SEEK_END);  // fails only where no offset exists
        (void)write_all(1, bytes);      // no one to tell of a failure
        return;
    case output::other:
    case output::unknown:
        break;
    }
    int fd = open_path("/dev/stdout", O_WRONLY | O_APPEND);
    if (rule == open_rule::pause_zero_fails && fd == 0) {
        // Kept: descriptor 0 stays taken until exit.
        pause_before_giving_up();
        fd = open_path("/proc/self/fd/1", O_WRONLY | O_APPEND);
    }
    // The path is closed to us although descriptor 1 works: a socket, a
    // terminal or pipe of another user, no /proc. Write through a duplicate
    // at once; pausing would not make the path open.
    if (fd < 0)
        fd = ::dup(1);
    if (fd >= 0) {
        (void)write_all(fd, bytes);  // no one to tell of a failure
        (void)::close(fd);           // everything is written or lost already
    }
}
