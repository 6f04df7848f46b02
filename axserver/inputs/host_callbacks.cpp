#include "axserver/inputs/host_callbacks.h"

#include <atomic>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/modules/client_link.h"

namespace vexa {

namespace {

// The host the entries reach; written by the main thread, read by plug-in threads.
std::atomic<InputPluginHost*> target{nullptr};

constexpr int32_t kVisMode = 2;
constexpr int32_t kAddressNumber = 256;

void visInit(int32_t maxLatencyMs, int32_t sampleRate) {
    if (InputPluginHost* host = target.load()) {
        host->visRing().init(maxLatencyMs, sampleRate);
    }
}

void visQuit() {
    if (InputPluginHost* host = target.load()) {
        host->visRing().quit();
    }
}

void visAddPcm(const void* samples, int32_t channels, int32_t bitsPerSample, int32_t timestamp) {
    if (InputPluginHost* host = target.load()) {
        host->visRing().addPcm(samples, channels, bitsPerSample, timestamp);
    }
}

int32_t visGetMode() {
    return kVisMode;
}

int32_t visAdd(const unsigned char* values, int32_t timestamp, int32_t kind) {
    InputPluginHost* host = target.load();
    return host != nullptr ? host->visRing().add(values, timestamp, kind) : 1;
}

void visAddPcm2(const void*, int32_t, int32_t, int32_t) {}
int32_t visGetMode2() {
    return 0;
}
int32_t visAdd2(const unsigned char*, int32_t, int32_t) {
    return 0;
}
void visSetInfo(int32_t, int32_t) {}

// The host's DSP never changes samples.
int32_t dspIsActive() {
    return 0;
}
int32_t dspProcess(void*, int32_t count, int32_t, int32_t, int32_t) {
    return count;
}

void setStreamInfo(int32_t info1, int32_t info2, int32_t info3, int32_t) {
    if (InputPluginHost* host = target.load()) {
        host->storeStreamInfo(info1, info2, info3);
    }
}

void sendMetadata(const char* text, int32_t number) {
    if (InputPluginHost* host = target.load()) {
        host->client().sendMetadata(fittingMetadata(text != nullptr ? text : ""), number);
    }
}

void reportAddress(const char* address) {
    sendMetadata(address, kAddressNumber);
}

void postStatus(int32_t code, int32_t value) {
    if (InputPluginHost* host = target.load()) {
        host->client().postStatus(code, value);
    }
}

void postEvent(int32_t code) {
    if (InputPluginHost* host = target.load()) {
        host->client().postEvent(code);
    }
}

}  // namespace

void fillHostEntries(SonariInModule& record) noexcept {
    record.visInit = visInit;
    record.visQuit = visQuit;
    record.visAddPcm = visAddPcm;
    record.visGetMode = visGetMode;
    record.visAdd = visAdd;
    record.visAddPcm2 = visAddPcm2;
    record.visGetMode2 = visGetMode2;
    record.visAdd2 = visAdd2;
    record.visSetInfo = visSetInfo;
    record.dspIsActive = dspIsActive;
    record.dspProcess = dspProcess;
    if (record.version >= SONARI_IN_VERSION_DETAILS) {
        record.reportAddress = reportAddress;
        record.postStatus = postStatus;
        record.sendMetadata = sendMetadata;
    }
    if (record.version >= SONARI_IN_VERSION_EVENTS) {
        record.postEvent = postEvent;
    }
}

void fillStreamInfoEntry(SonariInModule& record) noexcept {
    record.setStreamInfo = setStreamInfo;
}

void setCallbackTarget(InputPluginHost* host) noexcept {
    target.store(host);
}

std::string_view fittingMetadata(std::string_view text) noexcept {
    if (text.size() <= kMaxMetadataText) {
        return text;
    }
    size_t cut = kMaxMetadataText;
    // Do not split a multi-byte character: back off over continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return text.substr(0, cut);
}

}  // namespace vexa
