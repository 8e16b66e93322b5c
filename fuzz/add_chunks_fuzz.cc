// The chunked copy with any piece size, total and capacity: it stays inside
// both buffers, ends, and leaves the first bytes of the source, terminated.
#include <algorithm>
#include <cstring>
#include <string>
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

    std::vector<char> destination(capacity);
    addChunks(destination, source, piece, total);
    if (capacity == 0)
        return 0;
    const std::size_t expected = piece <= 0 || total < 0
        ? 0 : std::min({static_cast<std::size_t>(total), source.size(), capacity - 1});
    FUZZ_CHECK(std::memcmp(destination.data(), source.data(), expected) == 0);
    FUZZ_CHECK(destination[expected] == '\0');
    return 0;
}
