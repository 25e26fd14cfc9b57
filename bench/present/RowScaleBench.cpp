// Scaling one changed 640-pixel row by 2, 3 and 4 (the widest kernel the CPU has, and the
// plain loop) against a plain memcpy of the scaled row's bytes. Goal: the kernel within
// 1.5 times the copy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/RowScale.h"

namespace {

constexpr int kWidth = 640;

void RowScale(benchmark::State& state, Varn::RowScaleKernel kernel) {
    const int scale = int(state.range(0));
    std::vector<uint32_t> row(kWidth, 0x00336699);
    std::vector<uint32_t> scaled(size_t(kWidth) * scale);
    for (auto _ : state) {
        Varn::ScaleRow32(scaled.data(), row.data(), kWidth, scale, kernel);
        benchmark::DoNotOptimize(scaled.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(scaled.size()) * 4);
}

void ScaledRowMemcpy(benchmark::State& state) {
    const int scale = int(state.range(0));
    std::vector<uint32_t> source(size_t(kWidth) * scale, 0x00336699);
    std::vector<uint32_t> copy(source.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), source.data(), copy.size() * 4);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(copy.size()) * 4);
}

BENCHMARK_CAPTURE(RowScale, widest, Varn::RowScaleKernel::Widest)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, sse2, Varn::RowScaleKernel::Sse2)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, plain, Varn::RowScaleKernel::Plain)->DenseRange(2, 4);
BENCHMARK(ScaledRowMemcpy)->DenseRange(2, 4);

}  // namespace

BENCHMARK_MAIN();
