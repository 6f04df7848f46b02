// Cost of the catalogue's character shift per byte, for texts of the sizes a catalogue carries
// (names and addresses of tens of bytes) up to whole notes.
#include "catalogue/text_shift.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string sampleText(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(static_cast<char>('a' + i % 26));
    }
    return text;
}

void BM_EncodeText(benchmark::State& state) {
    const std::string text = sampleText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(kinvo::EncodeText(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_EncodeText)->Arg(16)->Arg(64)->Arg(1024);

void BM_DecodeText(benchmark::State& state) {
    const std::string text =
        kinvo::EncodeText(sampleText(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) {
        benchmark::DoNotOptimize(kinvo::DecodeText(text, true));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_DecodeText)->Arg(16)->Arg(64)->Arg(1024);

}  // namespace
