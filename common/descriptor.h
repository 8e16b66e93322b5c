// A file descriptor that closes itself.
#pragma once

#include "sys.h"
#include <utility>

class descriptor {
public:
    descriptor() = default;
    explicit descriptor(int fd) : fd_{fd} {}
    descriptor(descriptor &&other) noexcept : fd_{std::exchange(other.fd_, -1)} {}
    descriptor &operator=(descriptor &&other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    descriptor(const descriptor &) = delete;
    descriptor &operator=(const descriptor &) = delete;
    ~descriptor()
    {
        // Nothing useful can be done about a failed close of a descriptor
        // we only read from or already wrote everything to.
        if (fd_ >= 0)
            (void)sys::close(fd_);
    }

    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // Gives up ownership without closing.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};
