// Scaling one changed 640-pixel row by 2, 3 and 4 (the widest kernel the CPU has, AVX2,
// SSE2 and the plain loop) against a plain memcpy of the scaled row's bytes. Goal: the
// kernel within 1.5 times the copy. Rows start on 64-byte lines, as the presented spans
// do on the window surface.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/RowScale.h"

namespace {

constexpr int kWidth = 640;

// `count` pixels of `storage`, starting on a 64-byte line.
uint32_t* LineAligned(std::vector<uint32_t>& storage, size_t count, uint32_t value) {
    storage.assign(count + 16, value);
    auto address = reinterpret_cast<uintptr_t>(storage.data());
    return storage.data() + ((64 - address % 64) % 64) / 4;
}

void RowScale(benchmark::State& state, Varn::RowScaleKernel kernel) {
    const int scale = int(state.range(0));
    std::vector<uint32_t> rowStorage, scaledStorage;
    const uint32_t* row = LineAligned(rowStorage, kWidth, 0x00336699);
    const size_t scaledCount = size_t(kWidth) * scale;
    uint32_t* scaled = LineAligned(scaledStorage, scaledCount, 0);
    for (auto _ : state) {
        Varn::ScaleRow32(scaled, row, kWidth, scale, kernel);
        benchmark::DoNotOptimize(scaled);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(scaledCount) * 4);
}

void ScaledRowMemcpy(benchmark::State& state) {
    const int scale = int(state.range(0));
    const size_t count = size_t(kWidth) * scale;
    std::vector<uint32_t> sourceStorage, copyStorage;
    const uint32_t* source = LineAligned(sourceStorage, count, 0x00336699);
    uint32_t* copy = LineAligned(copyStorage, count, 0);
    for (auto _ : state) {
        std::memcpy(copy, source, count * 4);
        benchmark::DoNotOptimize(copy);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(count) * 4);
}

BENCHMARK_CAPTURE(RowScale, widest, Varn::RowScaleKernel::Widest)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, avx2, Varn::RowScaleKernel::Avx2)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, sse2, Varn::RowScaleKernel::Sse2)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, plain, Varn::RowScaleKernel::Plain)->DenseRange(2, 4);
BENCHMARK(ScaledRowMemcpy)->DenseRange(2, 4);

}  // namespace

BENCHMARK_MAIN();
