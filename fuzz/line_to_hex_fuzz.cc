// The encoder in both modes at any capacity: terminated inside its buffer,
// well-formed hex text, and decoding it gives back the encoded prefix.
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "codec.h"
#include "hex_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto capacity = provider.ConsumeIntegralInRange<std::size_t>(0, 4000);
    const auto newline = provider.ConsumeBool() ? line_end::stop : line_end::encode;
    const std::string text = provider.ConsumeRemainingBytesAsString();

    std::vector<char> out(capacity);  // exact size: the sanitizer sees overruns
    line_to_hex(text, out, newline);
    if (capacity == 0)
        return 0;
    const auto *end = static_cast<const char *>(std::memchr(out.data(), '\0', capacity));
    FUZZ_CHECK(end != nullptr);
    const std::string_view hex{out.data(), static_cast<std::size_t>(end - out.data())};
    FUZZ_CHECK(is_hex_text(hex));

    std::size_t expected = std::min(text.find('\0'), text.size());
    if (newline == line_end::stop)
        expected = std::min(expected, std::min(text.find('\n'), text.size()));
    expected = std::min(expected, (capacity - 1) / 3);
    FUZZ_CHECK(hex.size() == (expected == 0 ? 0 : 3 * expected - 1));

    std::vector<char> decoded(expected + 1);
    hex_to_line(hex, decoded);
    FUZZ_CHECK(std::memcmp(decoded.data(), text.data(), expected) == 0);
    FUZZ_CHECK(decoded[expected] == '\0');
    return 0;
}
