#include "axserver/outputs/output_plugin_host.h"

#include <cstring>

namespace vexa {

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void OutputPluginHost::loadAll(std::string_view moduleDir, SonariWindow serverWindow) {
    static constexpr PluginKind<SonariOutModule> kKind{
        kOutputPluginPrefix, SONARI_GET_OUT_MODULE, kMaxOutputs,
        [](const SonariOutModule& r) { return r.version == SONARI_OUT_VERSION; }};
    table_.load(moduleDir, kKind, [](PluginTable<SonariOutModule>::Entry& entry) {
        entry.record->fileName = entry.fileName.get();
        if (entry.record->init != nullptr) {
            entry.record->init();
        }
    });
    choosePreferred(serverWindow);
}

void OutputPluginHost::choosePreferred(SonariWindow serverWindow) {
    preferredOutput_ = kPreferredOutput;
    SonariOutModule* record = findByFileName(preferredOutput_);
    if (record == nullptr) {
        return;
    }
    record->hostWindow = serverWindow;
    int32_t answer = record->open != nullptr ? record->open(kTrialRate, kTrialChannels, kTrialBits,
                                                            kTrialDefaultTime, kTrialDefaultTime)
                                             : -1;
    if (answer < 0) {
        preferredOutput_ = kFallbackOutput;
    }
    if (record->close != nullptr) {
        record->close();
    }
}

void OutputPluginHost::unloadAll() noexcept {
    table_.unload([](PluginTable<SonariOutModule>::Entry& entry) {
        if (entry.record->quit != nullptr) {
            entry.record->quit();
        }
        entry.record->fileName = nullptr;
    });
}

SonariOutModule* OutputPluginHost::findByFileName(std::string_view fileName) const noexcept {
    for (const auto& entry : table_.entries()) {
        if (equalIgnoringCase(entry.fileName.get(), fileName)) {
            return entry.record;
        }
    }
    return nullptr;
}

std::vector<SonariOutModule*> OutputPluginHost::outputs() const {
    std::vector<SonariOutModule*> records;
    for (const auto& entry : table_.entries()) {
        records.push_back(entry.record);
    }
    return records;
}

}  // namespace vexa
