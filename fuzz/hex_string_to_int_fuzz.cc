// The digit parser on any text: no undefined shift, and the result is that
// of the text's first eight digits alone.
#include <cctype>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const std::string text = provider.ConsumeRemainingBytesAsString();
    const std::int32_t result = hex_string_to_int(text.c_str());

    std::string digits;
    for (const char *p = text.c_str(); *p != '\0' && digits.size() < 8; ++p)
        if (std::isxdigit(static_cast<unsigned char>(*p)))
            digits += *p;
    const std::uint32_t expected = digits.empty() ? 0 : static_cast<std::uint32_t>(
        std::stoul(digits, nullptr, 16) << (4 * (8 - digits.size())));
    FUZZ_CHECK(static_cast<std::uint32_t>(result) == expected);
    return 0;
}
