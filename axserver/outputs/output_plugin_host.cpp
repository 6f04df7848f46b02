#include "axserver/outputs/output_plugin_host.h"

#include <cstring>

#include "axserver/pluginlib/plugin_folder.h"

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
    const std::string folder = pluginFolder(moduleDir);
    for (const std::string& name : findPluginFiles(folder, kOutputPluginPrefix)) {
        if (table_.size() >= kMaxOutputs) {
            break;
        }
        auto library = PluginLibrary::load(folder + "/" + name);
        if (!library) {
            continue;
        }
        auto get = reinterpret_cast<SonariGetOutModuleFn>(library->symbol(SONARI_GET_OUT_MODULE));
        SonariOutModule* record = get != nullptr ? get() : nullptr;
        if (record == nullptr || record->version != SONARI_OUT_VERSION) {
            skipped_.push_back(std::move(*library));
            continue;
        }
        record->libraryHandle = library->handle();
        auto fileName = std::make_unique<char[]>(name.size() + 1);  // zero-filled
        std::memcpy(fileName.get(), name.data(), name.size());
        record->fileName = fileName.get();
        if (record->init != nullptr) {
            record->init();
        }
        table_.push_back(Loaded{std::move(*library), record, std::move(fileName)});
    }
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
    for (Loaded& loaded : table_) {
        if (loaded.record->quit != nullptr) {
            loaded.record->quit();
        }
        loaded.record->fileName = nullptr;
        loaded.fileName.reset();
        loaded.library.reset();
    }
    table_.clear();
    skipped_.clear();
}

SonariOutModule* OutputPluginHost::findByFileName(std::string_view fileName) const noexcept {
    for (const Loaded& loaded : table_) {
        if (equalIgnoringCase(loaded.fileName.get(), fileName)) {
            return loaded.record;
        }
    }
    return nullptr;
}

std::vector<SonariOutModule*> OutputPluginHost::outputs() const {
    std::vector<SonariOutModule*> records;
    for (const Loaded& loaded : table_) {
        records.push_back(loaded.record);
    }
    return records;
}

}  // namespace vexa
