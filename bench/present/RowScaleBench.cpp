// Scaling one changed 640-pixel row by 2, 3 and 4 (the widest kernel the CPU has, AVX2,
// SSE2 and the plain loop) against a plain memcpy of the scaled row's bytes. Goal: the
// kernel within 1.5 times the copy. Rows start on 64-byte lines, as the presented spans
// do on the window surface.
//
// The fill: a whole 640x480 picture painted at 1067x800 and 1024x768 (full screen on
// 1280x800 and 1366x768), every picture row scaled across once and written to its output
// rows (copies, and blends on boundaries), by the widest kernel, AVX2 and the plain loop,
// against a memcpy of the same output bytes.
// Goal: within 3 times the copy (per row as per picture).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/FillScale.h"
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

// The anchor: a plain copy of as many pixels as the kernel writes.
void CopyPixels(benchmark::State& state, size_t count) {
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

void ScaledRowMemcpy(benchmark::State& state) {
    CopyPixels(state, size_t(kWidth) * size_t(state.range(0)));
}

// The shown size is the range: width, height.
void FillPicture(benchmark::State& state, Varn::FillKernel kernel) {
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    std::vector<uint32_t> pictureStorage, shownStorage;
    uint32_t* picture = LineAligned(pictureStorage, size_t(kWidth) * 480, 0);
    for (size_t i = 0; i < size_t(kWidth) * 480; ++i) picture[i] = uint32_t(i * 2654435761u);
    uint32_t* shown = LineAligned(shownStorage, size_t(width) * height, 0);
    Varn::PictureFill fill(kWidth, 480, width, height);
    for (auto _ : state) {
        fill.Paint(
            reinterpret_cast<uint8_t*>(shown), size_t(width) * 4, {0, width}, {0, height},
            [&](int y) { return picture + size_t(y) * kWidth; }, kernel);
        benchmark::DoNotOptimize(shown);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * width * height * 4);
}

void FilledPictureMemcpy(benchmark::State& state) {
    CopyPixels(state, size_t(state.range(0)) * size_t(state.range(1)));
}

BENCHMARK_CAPTURE(FillPicture, widest, Varn::FillKernel::Widest)
    ->Args({1067, 800})
    ->Args({1024, 768});
BENCHMARK_CAPTURE(FillPicture, avx2, Varn::FillKernel::Avx2)
    ->Args({1067, 800})
    ->Args({1024, 768});
BENCHMARK_CAPTURE(FillPicture, plain, Varn::FillKernel::Plain)
    ->Args({1067, 800})
    ->Args({1024, 768});
BENCHMARK(FilledPictureMemcpy)->Args({1067, 800})->Args({1024, 768});

BENCHMARK_CAPTURE(RowScale, widest, Varn::RowScaleKernel::Widest)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, avx2, Varn::RowScaleKernel::Avx2)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, sse2, Varn::RowScaleKernel::Sse2)->DenseRange(2, 4);
BENCHMARK_CAPTURE(RowScale, plain, Varn::RowScaleKernel::Plain)->DenseRange(2, 4);
BENCHMARK(ScaledRowMemcpy)->DenseRange(2, 4);

}  // namespace

BENCHMARK_MAIN();
