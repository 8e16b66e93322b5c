// The system calls the programs make, through libc's one generic entry.
//
// Under immediate binding (a hardened build) the dynamic loader looks up
// every function a program imports before main runs, at close to a thousand
// instructions apiece: for these small programs, more than the calls
// themselves cost. syscall(2) is one import for all of them and sets errno
// as the named wrappers do. Instrumented builds keep the named wrappers, so
// that the sanitizers see every buffer handed to the kernel.
#pragma once

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace sys {

#ifndef HEXSUITE_NAMED_SYSCALLS

inline int open(const char *path, int flags)
{
    return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags));
}
inline ssize_t read(int fd, void *into, std::size_t size)
{
    return ::syscall(SYS_read, fd, into, size);
}
inline ssize_t pread(int fd, void *into, std::size_t size, off_t at)
{
    return ::syscall(SYS_pread64, fd, into, size, at);
}
inline ssize_t write(int fd, const void *bytes, std::size_t size)
{
    return ::syscall(SYS_write, fd, bytes, size);
}
inline int close(int fd)
{
    return static_cast<int>(::syscall(SYS_close, fd));
}
inline int dup(int fd)
{
    return static_cast<int>(::syscall(SYS_dup, fd));
}
inline int get_flags(int fd)
{
    return static_cast<int>(::syscall(SYS_fcntl, fd, F_GETFL));
}
inline int fstat(int fd, struct stat *st)
{
    return static_cast<int>(::syscall(SYS_fstat, fd, st));
}
inline off_t lseek(int fd, off_t offset, int whence)
{
    return ::syscall(SYS_lseek, fd, offset, whence);
}
// Waits with no time limit.
inline int poll(pollfd *fds, nfds_t count)
{
    return static_cast<int>(::syscall(SYS_ppoll, fds, count, nullptr, nullptr, 0));
}
inline int sleep_one_second()
{
    const timespec second{1, 0};
    return static_cast<int>(::syscall(SYS_clock_nanosleep, CLOCK_REALTIME, 0, &second, nullptr));
}

#else

inline int open(const char *path, int flags) { return ::open(path, flags); }
inline ssize_t read(int fd, void *into, std::size_t size) { return ::read(fd, into, size); }
inline ssize_t pread(int fd, void *into, std::size_t size, off_t at) { return ::pread(fd, into, size, at); }
inline ssize_t write(int fd, const void *bytes, std::size_t size) { return ::write(fd, bytes, size); }
inline int close(int fd) { return ::close(fd); }
inline int dup(int fd) { return ::dup(fd); }
inline int get_flags(int fd) { return ::fcntl(fd, F_GETFL); }
inline int fstat(int fd, struct stat *st) { return ::fstat(fd, st); }
inline off_t lseek(int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); }
inline int poll(pollfd *fds, nfds_t count) { return ::poll(fds, count, -1); }
inline int sleep_one_second() { return static_cast<int>(::sleep(1)); }

#endif

}  // namespace sys
