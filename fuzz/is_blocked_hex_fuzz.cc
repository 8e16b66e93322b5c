// The blocked-group report. For any text it stays inside its buffers. For
// the encoder's hex text, putting each "[BLOCKED]" line back gives every
// pair of the text in order, in groups of at most 16 pairs, each ending at
// its 16th pair or at a pair 0A.
#include <array>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "codec.h"
#include "screen.h"

using namespace hexscreen;

// The groups of hex text, worked out pair by pair.
static std::vector<std::string> groups_of(std::string_view hex)
{
    std::vector<std::string> groups;
    std::string group;
    int count = 0;
    for (std::size_t i = 0; i < hex.size(); i += 3) {
        const std::string pair{hex.substr(i, 2)};
        group += pair + " ";
        if (++count == 16) {
            groups.push_back(group);
            group.clear();
            count = 0;
        }
        if (pair == "0A") {
            if (!group.empty())
                group.pop_back();
            groups.push_back(group);
            group.clear();
            count = 0;
        }
    }
    if (!group.empty())
        groups.push_back(group);
    return groups;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const bool raw = provider.ConsumeBool();
    const std::string text = provider.ConsumeRemainingBytesAsString();

    if (raw) {  // any text at all, not only hex text
        const std::string_view report = is_blocked_hex(text);
        FUZZ_CHECK(report.size() < 10240);
        return 0;
    }

    std::array<char, 3072> hex_buffer;
    line_to_hex(text, hex_buffer);
    const std::string_view hex{hex_buffer.data()};
    const std::string report{is_blocked_hex(hex)};

    std::string expected;
    std::string restored;
    for (const std::string &group : groups_of(hex)) {
        expected += (is_blocked(group) ? std::string{"[BLOCKED]"} : group) + "\n";
        restored += group;
    }
    FUZZ_CHECK(report == expected);

    // Every pair of the hex text, in order.
    std::string pairs_in, pairs_out;
    for (std::size_t i = 0; i < hex.size(); i += 3)
        pairs_in += hex.substr(i, 2);
    for (char c : restored)
        if (c != ' ')
            pairs_out += c;
    FUZZ_CHECK(pairs_in == pairs_out);
    return 0;
}
