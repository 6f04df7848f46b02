// Round trip of a message sent to a window of another process, beside a bare SOCK_SEQPACKET
// ping-pong between two processes measured in the same program. Every round trip is timed on
// its own; the counters give the median and the 99th percentile in microseconds, and the layer's
// run gives its median as a multiple of the bare one ("ratio_to_raw").
//
// The program starts itself again as the peer: "platform_send_bench peer <window>".
#include "platform/messages.h"
#include "platform/process.h"

#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr win::UINT kReady = win::WM_USER + 1;
constexpr win::UINT kNothing = win::WM_USER + 2;

double rawMedian = 0;

struct Spread {
    double median = 0, p99 = 0;
};

Spread spreadOf(std::vector<double>& samples) {
    if (samples.empty()) {
        return {};
    }
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2],
            samples[std::min(samples.size() - 1, samples.size() * 99 / 100)]};
}

void report(benchmark::State& state, std::vector<double>& samples) {
    const Spread s = spreadOf(samples);
    state.counters["median_us"] = s.median;
    state.counters["p99_us"] = s.p99;
    if (rawMedian > 0 && s.median > 0) {
        state.counters["ratio_to_raw"] = s.median / rawMedian;
    }
}

// 40 bytes each way, the size of the layer's frames.
void BM_RawSeqpacketPingPong(benchmark::State& state) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        state.SkipWithError("socketpair");
        return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pair[0]);
        char buffer[40];
        while (::recv(pair[1], buffer, sizeof buffer, 0) == sizeof buffer) {
            if (::send(pair[1], buffer, sizeof buffer, MSG_NOSIGNAL) != sizeof buffer) {
                break;
            }
        }
        ::_exit(0);
    }
    ::close(pair[1]);
    char buffer[40] = {};
    std::vector<double> samples;
    for (auto _ : state) {
        const auto begin = Clock::now();
        ::send(pair[0], buffer, sizeof buffer, MSG_NOSIGNAL);
        ::recv(pair[0], buffer, sizeof buffer, 0);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - begin).count());
    }
    ::close(pair[0]);
    ::waitpid(child, nullptr, 0);
    report(state, samples);
    rawMedian = state.counters["median_us"];
}
BENCHMARK(BM_RawSeqpacketPingPong)->Iterations(50000)->UseRealTime();

win::HWND peerWindow = 0;

win::LRESULT hostProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message == kReady) {
        peerWindow = static_cast<win::HWND>(wParam);
        return 0;
    }
    return win::defWindowProc(hwnd, message, wParam, lParam);
}

void BM_LayerSendMessageRoundTrip(benchmark::State& state) {
    win::registerClass(win::WindowClass{"BenchHost", 0, hostProc, 0});
    const win::HWND host = win::createWindow("BenchHost");
    auto peer = win::createProcess(win::ownExecutablePath(), "peer " + std::to_string(host));
    if (host == 0 || !peer) {
        state.SkipWithError("no peer");
        return;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    win::MSG msg;
    while (peerWindow == 0 && Clock::now() < deadline) {
        win::waitMessage(100);
        while (win::peekMessage(msg, 0, 0, 0, win::PM_REMOVE)) {
            win::dispatchMessage(msg);
        }
    }
    if (peerWindow == 0) {
        peer->kill(SIGKILL);
        peer->wait(std::chrono::seconds(30));
        state.SkipWithError("peer did not report");
        return;
    }
    std::vector<double> samples;
    for (auto _ : state) {
        const auto begin = Clock::now();
        benchmark::DoNotOptimize(win::sendMessage(peerWindow, kNothing, 1, 2));
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - begin).count());
    }
    win::postMessage(peerWindow, win::WM_CLOSE, 0, 0);
    if (!peer->wait(std::chrono::seconds(30))) {
        peer->kill(SIGKILL);
        peer->wait(std::chrono::seconds(30));
    }
    win::destroyWindow(host);
    report(state, samples);
}
BENCHMARK(BM_LayerSendMessageRoundTrip)->Iterations(50000)->UseRealTime();

win::LRESULT peerProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message == kNothing) {
        return 0;
    }
    if (message == win::WM_DESTROY) {
        win::postQuitMessage(0);
    }
    return win::defWindowProc(hwnd, message, wParam, lParam);
}

int runPeer(const std::string& commandLine) {
    const win::HWND host = static_cast<win::HWND>(std::stoul(commandLine.substr(5)));
    win::registerClass(win::WindowClass{"BenchPeer", 0, peerProc, 0});
    const win::HWND self = win::createWindow("BenchPeer");
    win::postMessage(host, kReady, self, 0);
    win::MSG msg;
    while (win::getMessage(msg, 0, 0, 0) > 0) {
        win::dispatchMessage(msg);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string commandLine = win::commandLineText(argc, argv);
    if (commandLine.rfind("peer ", 0) == 0) {
        return runPeer(commandLine);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
