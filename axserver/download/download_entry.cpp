#include "axserver/download/download_entry.h"

#include <atomic>
#include <string>

#include "axserver/modules/server_modules.h"
#include "channel/protocol.h"

namespace vexa {

namespace {

// The module the entry reaches; written by the main thread, read by plug-in threads.
std::atomic<StreamDownload*> target{nullptr};
// Calls through the entry that may still use the target they read. Raised before the target is
// read, so that a release that clears the target and then sees 0 knows no call holds it.
std::atomic<int32_t> callsInFlight{0};

extern "C" int32_t downloadThroughEntry(uint32_t, const char* address, const char* destinationFile,
                                        const char*) {
    constexpr int32_t kFailed = kStatusFailed;
    callsInFlight.fetch_add(1);
    int32_t answer = kFailed;
    StreamDownload* module = target.load();
    if (module != nullptr && address != nullptr && destinationFile != nullptr) {
        try {
            answer = module->download(address, destinationFile);
        } catch (...) {
            // Out of memory copying the texts: a failed download.
        }
    }
    if (callsInFlight.fetch_sub(1) == 1) {
        callsInFlight.notify_all();
    }
    return answer;
}

}  // namespace

DownloadEntry downloadEntry() noexcept {
    return &downloadThroughEntry;
}

void setDownloadTarget(StreamDownload* module) noexcept {
    target.store(module);
}

void releaseDownloadTarget(StreamDownload* module) noexcept {
    target.compare_exchange_strong(module, nullptr);
    for (int32_t calls = callsInFlight.load(); calls != 0; calls = callsInFlight.load()) {
        callsInFlight.wait(calls);
    }
}

}  // namespace vexa
