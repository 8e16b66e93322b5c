// The chunked copy with any piece size, total and capacity: it stays inside
// both buffers, ends, and leaves the first bytes of the source, terminated,
// with nothing written past the terminator.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "chunks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const int piece = provider.ConsumeIntegralInRange<int>(-8, 300);
    const int total = provider.ConsumeIntegralInRange<int>(-8, 300);
    const auto capacity = provider.ConsumeIntegralInRange<std::size_t>(0, 200);
    const std::string source = provider.ConsumeRemainingBytesAsString();

    std::vector<char> destination(capacity, '\x5A');  // what the copy leaves past its end
    addChunks(destination, source, piece, total);
    if (capacity == 0)
        return 0;
    // How far a copy of one byte at a time gets: to the total, the source's
    // end or the last byte of the destination, whichever comes first.
    std::size_t copied = 0;
    while (piece > 0 && std::cmp_less(copied, total) && copied < source.size() && copied + 1 < capacity)
        ++copied;
    FUZZ_CHECK(std::memcmp(destination.data(), source.data(), copied) == 0);
    FUZZ_CHECK(destination[copied] == '\0');
    FUZZ_CHECK(std::all_of(destination.begin() + static_cast<std::ptrdiff_t>(copied) + 1, destination.end(),
                           [](char c) { return c == '\x5A'; }));
    return 0;
}
