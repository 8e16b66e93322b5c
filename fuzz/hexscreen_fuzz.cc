// The whole hexscreen run on one input, its output gathered in memory: the
// two headings in place, the masked text no longer than the hex text, and
// the decoded text equal to the input up to its first NUL byte.
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "check.h"
#include "hex_text.h"
#include "screen.h"

static std::string output;
static int pieces;

static void gather(std::string_view text)
{
    output += text;
    ++pieces;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    std::string input = provider.ConsumeBytesAsString(1023);
    output.clear();
    pieces = 0;
    hexscreen::process_line(input.c_str(), gather);
    FUZZ_CHECK(pieces == 8);

    const std::string line = input.substr(0, input.find('\0'));
    const std::string heading = "blocked [label]:\n";
    const std::string masked_heading = "\nmasked hexadecimal:\n";
    FUZZ_CHECK(output.starts_with(heading));
    FUZZ_CHECK(output.ends_with(line + "\n"));
    const std::string rest = output.substr(0, output.size() - line.size() - 1);
    const std::size_t at = rest.rfind(masked_heading);
    FUZZ_CHECK(at != std::string::npos);
    FUZZ_CHECK(rest.ends_with("\n"));
    const std::string masked = rest.substr(at + masked_heading.size(), rest.size() - at - masked_heading.size() - 1);
    FUZZ_CHECK(is_hex_text(masked));
    FUZZ_CHECK(masked.size() <= (line.empty() ? 0 : 3 * line.size() - 1));
    return 0;
}
