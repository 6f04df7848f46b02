// Cost of reading a catalogue document into the station lists, per entry, for 1,000 and 10,000
// entries: the parse is linear, so ten times the entries should cost about ten times the time.
#include "browser/core/catalogue_parser.h"
#include "browser/core/sb_list.h"
#include "catalogue/text_shift.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string catalogueDocument(int entries) {
    std::string document = "<html><body><h1>Music Video</h1>\n";
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        document +=
            "<a href=\"" + kinvo::EncodeText("http://media.example/stations/" + n + ".asx") +
            "\">Pop~~Live@@" + kinvo::EncodeText("Station number " + n) + "##" +
            std::to_string(56 + i % 700) + "%%0!!" + std::to_string(i % 6) + "**" +
            kinvo::EncodeText("Notes about station " + n + ", its shows and hosts") + "</a><br>\n";
    }
    return document + "</body></html>\n";
}

void BM_Extract(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const std::string document = catalogueDocument(entries);
    kinvo::SBList lstStations;
    kinvo::SBList lstStations2;
    kinvo::ExtractOptions options;
    options.adultSettings = 0;  // the filter runs for every station
    for (auto _ : state) {
        kinvo::extract(document, lstStations, lstStations2, options);
        benchmark::DoNotOptimize(lstStations.count());
    }
    if (lstStations.count() != entries) {
        state.SkipWithError("not every entry was read");
    }
    state.counters["ns_per_entry"] = benchmark::Counter(
        static_cast<double>(entries) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_Extract)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The cut into entries and fields alone, without the lists.
void BM_ParseEntries(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const std::string document = catalogueDocument(entries);
    for (auto _ : state) {
        int count = 0;
        kinvo::forEachCatalogueEntry(document, kinvo::ExtractMode::Catalogue,
                                     [&count](const kinvo::StationRecord&) {
                                         ++count;
                                         return true;
                                     });
        benchmark::DoNotOptimize(count);
    }
    state.counters["ns_per_entry"] = benchmark::Counter(
        static_cast<double>(entries) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ParseEntries)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
