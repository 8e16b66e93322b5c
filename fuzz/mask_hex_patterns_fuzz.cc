// Masking. With the shipped table it never lengthens the encoder's text and
// keeps it hex text; with a table drawn from the input (replacements longer
// than their patterns included) it stays inside memory and ends.
#include <array>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "codec.h"
#include "hex_text.h"
#include "screen.h"

using namespace hexscreen;

// Masking done another way: the text is built anew for each pattern.
static std::string masked_by_rebuilding(std::string text, std::span<const std::string_view> patterns,
                                        std::span<const std::string_view> replacements)
{
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (patterns[i].empty())
            continue;
        std::string rebuilt;
        std::size_t pos = 0;
        for (std::size_t at; (at = text.find(patterns[i], pos)) != std::string::npos;
             pos = at + patterns[i].size())
            rebuilt.append(text, pos, at - pos).append(replacements[i]);
        text = rebuilt.append(text, pos);
    }
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    if (provider.ConsumeBool()) {
        // The table as given, and as the function reads it: up to each NUL.
        std::array<std::string, 6> given, cut;
        for (std::size_t i = 0; i < given.size(); ++i) {
            given[i] = provider.ConsumeRandomLengthString(8);
            cut[i] = given[i].substr(0, given[i].find('\0'));
        }
        const auto views = [](const std::array<std::string, 6> &s, std::size_t from) {
            return std::array<std::string_view, 3>{s[from], s[from + 1], s[from + 2]};
        };
        const std::string with_nul = provider.ConsumeRandomLengthString(512);
        const std::string text = with_nul.substr(0, with_nul.find('\0'));
        const heap_text masked = mask_hex_patterns(with_nul, views(given, 0), views(given, 3));
        FUZZ_CHECK(masked && masked_by_rebuilding(text, views(cut, 0), views(cut, 3)) == masked.get());
        return 0;
    }

    const std::string text = provider.ConsumeRemainingBytesAsString();
    std::array<char, 3072> hex_buffer;
    line_to_hex(text, hex_buffer);
    const std::string_view hex{hex_buffer.data()};
    const heap_text masked_text = mask_hex_patterns(hex, mask_patterns, mask_replacements);
    FUZZ_CHECK(masked_text);
    const std::string_view masked{masked_text.get()};
    FUZZ_CHECK(masked.size() <= hex.size());
    FUZZ_CHECK(is_hex_text(masked));
    for (std::string_view pattern : mask_patterns)
        FUZZ_CHECK(masked.find(pattern) == std::string_view::npos || hex.find(pattern) != std::string::npos);
    return 0;
}
