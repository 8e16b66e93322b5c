// The decoder on any text into any buffer: it stays inside the buffer,
// terminates, and never stores more bytes than the text has digit pairs.
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto capacity = provider.ConsumeIntegralInRange<std::size_t>(0, 2000);
    const std::string text = provider.ConsumeRemainingBytesAsString();

    std::vector<char> out(capacity);
    hex_to_line(text, out);
    if (capacity == 0)
        return 0;
    FUZZ_CHECK(std::memchr(out.data(), '\0', capacity) != nullptr);

    // Feeding the same text again into a larger buffer gives the same start.
    std::vector<char> larger(capacity + 64);
    hex_to_line(text, larger);
    FUZZ_CHECK(std::string_view{larger.data()}.starts_with(out.data()));
    return 0;
}
