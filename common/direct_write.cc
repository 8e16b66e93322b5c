#include "direct_write.h"

#include "descriptor.h"
#include "io.h"

void direct_write(std::span<const char> bytes, open_rule rule)
{
    const stdout_target out = open_stdout(rule);
    const descriptor opened{out.owned ? out.fd : -1};  // closed after the write
    if (out.fd >= 0)
        (void)write_all(out.fd, bytes);  // no one to tell of a failure
}
