// Command round trips through the control channel, client to vexahost and back, beside the
// message layer's plain send to the same server window (default processing, no work). Every
// round trip is timed on its own; the counters give the median and the 99th percentile in
// microseconds and the median as a multiple of the plain send's ("ratio_to_send").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/client/vexa_commands.h"
#include "platform/messages.h"

namespace {

using Clock = std::chrono::steady_clock;

double sendMedian = 0;

vexa::VexaClient& client() {
    static std::unique_ptr<vexa::VexaClient> c = [] {
        auto made = std::make_unique<vexa::VexaClient>();
        if (!made->start(VEXAHOST_PATH)) {
            std::fprintf(stderr, "vexahost: %s\n", made->lastError().c_str());
        }
        vexa::commands::setInstanceTitle(*made, "benchmark instance title");
        return made;
    }();
    return *c;
}

template <typename Body>
void timed(benchmark::State& state, Body body, bool isPlainSend = false) {
    if (client().serverWindow() == 0) {
        state.SkipWithError("no server");
        return;
    }
    std::vector<double> samples;
    for (auto _ : state) {
        auto begin = Clock::now();
        body();
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - begin).count());
    }
    std::sort(samples.begin(), samples.end());
    double median = samples[samples.size() / 2];
    state.counters["median_us"] = median;
    state.counters["p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    if (isPlainSend) {
        sendMedian = median;
    } else if (sendMedian > 0) {
        state.counters["ratio_to_send"] = median / sendMedian;
    }
}

void BM_PlatformSend(benchmark::State& state) {
    timed(
        state,
        [] {
            benchmark::DoNotOptimize(win::sendMessage(client().serverWindow(), win::WM_NULL, 0, 0));
        },
        true);
}

void BM_Command721NoArguments(benchmark::State& state) {
    timed(state, [] { benchmark::DoNotOptimize(client().call(vexa::CMD_GET_COUNT).status); });
}

void BM_Command750NumberInTextOut(benchmark::State& state) {
    timed(state,
          [] { benchmark::DoNotOptimize(vexa::commands::getInstance(client(), 0).text(0)); });
}

void BM_Command749TextIn(benchmark::State& state) {
    timed(state, [] {
        benchmark::DoNotOptimize(
            vexa::commands::setInstanceTitle(client(), "benchmark instance title").status);
    });
}

BENCHMARK(BM_PlatformSend)->Iterations(20000);
BENCHMARK(BM_Command721NoArguments)->Iterations(20000);
BENCHMARK(BM_Command750NumberInTextOut)->Iterations(20000);
BENCHMARK(BM_Command749TextIn)->Iterations(20000);

}  // namespace
