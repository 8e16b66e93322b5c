#include "newlines.h"

#include <algorithm>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void map_newlines(std::string_view data, std::span<std::uint64_t> bits)
{
    std::size_t word = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    for (; (word + 1) * 64 <= data.size(); ++word) {
        std::uint64_t found = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char *at = data.data() + word * 64 + k * 16;
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, newline)));
            found |= static_cast<std::uint64_t>(mask) << (16 * k);
        }
        bits[word] = found;
    }
#endif
    for (; word * 64 < data.size(); ++word) {
        std::uint64_t found = 0;
        for (std::size_t b = 0; b < 64 && word * 64 + b < data.size(); ++b)
            found |= static_cast<std::uint64_t>(data[word * 64 + b] == '\n') << b;
        bits[word] = found;
    }
}

std::size_t find_newline(std::span<const std::uint64_t> bits, std::size_t from,
                         std::size_t limit)
{
    std::size_t word = from / 64;
    std::uint64_t found = bits[word] & (~std::uint64_t{0} << (from % 64));
    while (found == 0) {
        if (++word * 64 >= limit)
            return limit;
        found = bits[word];
    }
    return std::min(word * 64 + static_cast<std::size_t>(std::countr_zero(found)), limit);
}
