#include "newlines.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

using map_function = std::size_t (*)(const char *, std::size_t, std::uint64_t *);

[[maybe_unused]] std::size_t map_bytewise(const char *data, std::size_t chunks, std::uint64_t *words)
{
    for (std::size_t c = 0; c < chunks; ++c) {
        const tail_masks m = map_tail(data + 64 * c, 64);
        if (m.has_nul)
            return c;
        words[c] = m.newlines;
    }
    return chunks;
}

#if defined(__SSE2__)
std::size_t map_sse2(const char *data, std::size_t chunks, std::uint64_t *words)
{
    const __m128i newline = _mm_set1_epi8('\n');
    const auto bits = [&](__m128i v) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, newline))));
    };
    for (std::size_t c = 0; c < chunks; ++c) {
        const auto *at = reinterpret_cast<const __m128i *>(data + 64 * c);
        const __m128i v0 = _mm_loadu_si128(at), v1 = _mm_loadu_si128(at + 1);
        const __m128i v2 = _mm_loadu_si128(at + 2), v3 = _mm_loadu_si128(at + 3);
        // The least byte of the chunk is 0 exactly when it holds a NUL.
        const __m128i least = _mm_min_epu8(_mm_min_epu8(v0, v1), _mm_min_epu8(v2, v3));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(least, _mm_setzero_si128())) != 0)
            return c;
        words[c] = bits(v0) | bits(v1) << 16 | bits(v2) << 32 | bits(v3) << 48;
    }
    return chunks;
}

__attribute__((target("avx2"))) std::size_t map_avx2(const char *data, std::size_t chunks,
                                                     std::uint64_t *words)
{
    const __m256i newline = _mm256_set1_epi8('\n');
    const auto bits = [&](__m256i v) __attribute__((target("avx2"))) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, newline))));
    };
    for (std::size_t c = 0; c < chunks; ++c) {
        const auto *at = reinterpret_cast<const __m256i *>(data + 64 * c);
        const __m256i v0 = _mm256_loadu_si256(at), v1 = _mm256_loadu_si256(at + 1);
        const __m256i least = _mm256_min_epu8(v0, v1);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(least, _mm256_setzero_si256())) != 0)
            return c;
        words[c] = bits(v0) | bits(v1) << 32;
    }
    return chunks;
}

map_function pick_map()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? map_avx2 : map_sse2;
}
#else
map_function pick_map()
{
    return map_bytewise;
}
#endif

// Chosen at the first call: a global rather than a function's static,
// which would need a guard.
map_function chosen_map = nullptr;

}  // namespace

std::size_t map_chunks(const char *data, std::size_t chunks, std::uint64_t *words)
{
    if (chosen_map == nullptr)
        chosen_map = pick_map();
    return chosen_map(data, chunks, words);
}

tail_masks map_tail(const char *data, std::size_t size)
{
    tail_masks m{0, false};
    for (std::size_t b = 0; b < size; ++b) {
        m.newlines |= static_cast<std::uint64_t>(data[b] == '\n') << b;
        m.has_nul |= data[b] == '\0';
    }
    return m;
}
