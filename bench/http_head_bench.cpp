// Cost of reading a request head in the data server's event loop: a browser's list request, the
// same with a station address holding its own query, a head at the header-count bound, and a
// Range header. The loop re-reads a head each time more of it arrives, so this is paid per
// received segment.
#include <benchmark/benchmark.h>

#include <string>

#include "dataserver/server/byte_ranges.h"
#include "dataserver/server/http_head.h"

namespace {

const std::string kListRequest =
    "GET /kinvo39.asp?P=T&T1=LIST_TV&T2=Music+Video&V=3.9 HTTP/1.1\r\n"
    "Host: 127.0.0.1:8639\r\nUser-Agent: Kinvo/3.9\r\nAccept: */*\r\n"
    "Connection: keep-alive\r\n\r\n";

void BM_ReadListRequest(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(kinvo::ds::readHead(kListRequest));
    }
}
BENCHMARK(BM_ReadListRequest);

void BM_ReadStationStartWithQuestionMarks(benchmark::State& state) {
    const std::string head =
        "GET /kinvo39.asp?STATS=1&U=http://media.example/q.asp?id=7?fmt=wmv?x=" +
        std::string(static_cast<std::size_t>(state.range(0)), '?') + " HTTP/1.1\r\nHost: h\r\n\r\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(kinvo::ds::readHead(head));
    }
}
BENCHMARK(BM_ReadStationStartWithQuestionMarks)->Arg(0)->Arg(3000);

void BM_ReadHeadOfHundredHeaders(benchmark::State& state) {
    std::string head = "GET / HTTP/1.1\r\n";
    for (int i = 0; i < 100; ++i) {
        head += "X-Header-" + std::to_string(i) + ": some value of a header\r\n";
    }
    head += "\r\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(kinvo::ds::readHead(head));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * head.size()));
}
BENCHMARK(BM_ReadHeadOfHundredHeaders);

void BM_ResolveRange(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(kinvo::ds::resolveRange("bytes=100-199, 0-1, -500", 52428800));
    }
}
BENCHMARK(BM_ResolveRange);

}  // namespace
