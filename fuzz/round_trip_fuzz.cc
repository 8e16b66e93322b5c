// The bounded encoder and decoder at any capacity, 0 and multiples of three
// included: both stay inside their buffers and terminate, and what the
// encoder fully encodes decodes back to the source.
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto encode_capacity = provider.ConsumeIntegralInRange<std::size_t>(0, 700);
    const auto decode_capacity = provider.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string source = provider.ConsumeRemainingBytesAsString();

    std::vector<char> encoded(encode_capacity);
    const char *hex = to_hex_string(source.c_str(), encoded);
    FUZZ_CHECK((hex == nullptr) == (encode_capacity == 0));
    if (hex != nullptr)
        FUZZ_CHECK(std::memchr(encoded.data(), '\0', encode_capacity) != nullptr);

    std::vector<char> decoded(decode_capacity);
    const char *text = from_hex_string(hex != nullptr ? hex : source.c_str(), decoded);
    FUZZ_CHECK((text == nullptr) == (decode_capacity == 0));
    if (text == nullptr)
        return 0;
    FUZZ_CHECK(std::memchr(decoded.data(), '\0', decode_capacity) != nullptr);

    const std::size_t length = std::strlen(source.c_str());
    if (hex != nullptr && encode_capacity >= 3 * length && decode_capacity > length) {
        FUZZ_CHECK(std::strlen(hex) == (length == 0 ? 0 : 3 * length - 1));
        FUZZ_CHECK(std::strcmp(text, source.c_str()) == 0);
    }
    return 0;
}
