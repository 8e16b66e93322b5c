#include "direct_write.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "descriptor.h"
#include "write_all.h"

namespace {

// Whether descriptor 1 was opened for reading only. Opening its file again
// by path would write to a file the caller handed us only to read: such an
// output counts as one that cannot be opened. Asked once; nothing in the
// run changes what descriptor 1 is.
enum class access { unknown, read_only, other };
access stdout_access = access::unknown;

bool stdout_is_read_only()
{
    if (stdout_access == access::unknown) {
        const int flags = ::fcntl(1, F_GETFL);
        const bool read_only = flags >= 0 && (flags & O_ACCMODE) == O_RDONLY;
        stdout_access = read_only ? access::read_only : access::other;
    }
    return stdout_access == access::read_only;
}

descriptor open_for_append(const char *path)
{
    if (stdout_is_read_only()) {
        errno = EBADF;
        return descriptor{};
    }
    return descriptor{::open(path, O_WRONLY | O_APPEND)};
}

descriptor open_stdout(open_rule rule)
{
    descriptor out = open_for_append("/dev/stdout");
    if (rule == open_rule::proc_fallback_zero_fails && out.get() == 0) {
        // Kept open on purpose: descriptor 0 stays taken until exit.
        (void)out.release();
        errno = 0;
    }
    if (out.valid())
        return out;
    if (errno == ENXIO)
        return descriptor{::dup(1)};
    if (rule == open_rule::single)
        return out;
    (void)::sleep(1);  // a pause cut short by a signal needs no making up
    return open_for_append("/proc/self/fd/1");
}

bool output_reached = false;

}  // namespace

void settle_stdout_offset()
{
    struct stat st;
    if (output_reached && ::fstat(1, &st) == 0 && S_ISREG(st.st_mode))
        (void)::lseek(1, 0, SEEK_END);  // best effort: nothing to report to
}

void direct_write(std::span<const char> bytes, open_rule rule)
{
    descriptor out = open_stdout(rule);
    if (!out.valid())
        return;
    // Output that cannot be written is lost without a word, like output
    // that cannot be opened.
    (void)write_all(out.get(), bytes);
    output_reached = true;
}
