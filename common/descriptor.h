// A file descriptor that closes itself.
#pragma once

#include <unistd.h>

class descriptor {
public:
    explicit descriptor(int fd) : fd_{fd} {}
    descriptor(const descriptor &) = delete;
    descriptor &operator=(const descriptor &) = delete;
    ~descriptor()
    {
        // Nothing useful can be done about a failed close of a descriptor
        // we only read from or already wrote everything to.
        if (fd_ >= 0)
            (void)::close(fd_);
    }

    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }

private:
    int fd_;
};
