// Throughput of the hex text codec in bytes of input per second, beside
// memcpy of the same bytes as the ceiling.
#include <cstring>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "codec.h"

namespace {

// Bytes 1 to 255 (a NUL would end the input), from a fixed seed.
std::vector<char> sample(std::size_t n)
{
    std::mt19937 random(2026);
    std::vector<char> bytes(n);
    for (char &b : bytes)
        b = static_cast<char>(1 + random() % 255);
    return bytes;
}

void BM_memcpy(benchmark::State &state)
{
    const auto in = sample(static_cast<std::size_t>(state.range(0)));
    std::vector<char> out(in.size());
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_line_to_hex(benchmark::State &state)
{
    const auto in = sample(static_cast<std::size_t>(state.range(0)));
    std::vector<char> out(3 * in.size() + 1);
    for (auto _ : state) {
        line_to_hex({in.data(), in.size()}, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_hex_to_line(benchmark::State &state)
{
    const auto in = sample(static_cast<std::size_t>(state.range(0)));
    std::vector<char> hex(3 * in.size() + 1);
    line_to_hex({in.data(), in.size()}, hex);
    std::vector<char> out(in.size() + 1);
    for (auto _ : state) {
        hex_to_line(hex.data(), out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    // Counted in decoded bytes, to compare with the encoder.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

BENCHMARK(BM_memcpy)->Arg(1023)->Arg(1 << 16);
BENCHMARK(BM_line_to_hex)->Arg(1023)->Arg(1 << 16);
BENCHMARK(BM_hex_to_line)->Arg(1023)->Arg(1 << 16);
BENCHMARK_MAIN();
