#include "axserver/inputs/input_plugin_host.h"

#include <cassert>

#include "axserver/inputs/file_types.h"
#include "axserver/inputs/host_callbacks.h"
#include "axserver/inputs/lookup_key.h"
#include "axserver/inputs/texts.h"
#include "axserver/outputs/output_plugin_host.h"
#include "axserver/pluginlib/plugin_folder.h"

namespace vexa {

namespace {

constexpr int32_t kEventNoPlugin = 101;
constexpr int32_t kNotPrepared = -1;
constexpr int32_t kUnknownLength = -1;
constexpr int32_t kNoValue = -1;

}  // namespace

InputPluginHost::InputPluginHost(ClientLink& client, const OutputPluginHost& outputs)
    : client_(client), outputs_(outputs) {}

InputPluginHost::~InputPluginHost() {
    unloadAll();
}

void InputPluginHost::setNameResolver(NameResolver resolver) {
    resolver_ = std::move(resolver);
}

ResolvedName InputPluginHost::resolve(std::string_view name) const {
    if (resolver_) {
        return resolver_(name);
    }
    return ResolvedName{std::string(name), false};
}

void InputPluginHost::loadAll(std::string_view moduleDir, SonariWindow serverWindow) {
    serverWindow_ = serverWindow;
    info1_ = 0;
    info2_ = 0;
    info3_ = 0;
    setCallbackTarget(this);
    static constexpr PluginKind<SonariInModule> kKind{
        kInputPluginPrefix, SONARI_GET_IN_MODULE, kMaxInputs,
        [](const SonariInModule& r) { return r.version <= SONARI_IN_VERSION_LATEST; }};
    table_.load(moduleDir, kKind, [&](PluginTable<SonariInModule>::Entry& entry) {
        SonariInModule& record = *entry.record;
        fillHostEntries(record);
        record.setStreamInfo = nullptr;
        record.flags &= ~6;
        record.hostWindow = serverWindow;
        records_.push_back(&record);
        if (record.init != nullptr) {
            record.init();
        }
        fillStreamInfoEntry(record);
    });
}

void InputPluginHost::unloadAll() noexcept {
    table_.unload([](PluginTable<SonariInModule>::Entry& entry) {
        if (entry.record->quit != nullptr) {
            entry.record->quit();
        }
    });
    records_.clear();
    active_ = nullptr;
    getCache_ = {};
    setCache_ = {};
    setCallbackTarget(nullptr);
}

int InputPluginHost::findIndex(std::string_view name, size_t start) const {
    const std::string text(name);
    for (size_t i = start; i < records_.size(); ++i) {
        if (records_[i]->claimsFile != nullptr && records_[i]->claimsFile(text.c_str()) != 0) {
            return static_cast<int>(i);
        }
    }
    const std::string key = lookupKey(name);
    if (key.empty()) {
        return -1;
    }
    for (size_t i = start; i < records_.size(); ++i) {
        if (declaresExtension(records_[i]->fileTypes, key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

SonariInModule* InputPluginHost::findWithFallback(std::string_view name, bool allowFallback) {
    int index = findIndex(name, 0);
    if (index < 0) {
        return allowFallback ? findWithFallback(kFallbackName, false) : nullptr;
    }
    SonariInModule* record = records_[static_cast<size_t>(index)];
    if (record->hostWindow == 0) {
        record->hostWindow = serverWindow_;
    }
    return record;
}

SonariInModule* InputPluginHost::findPlugin(std::string_view name) {
    return findWithFallback(name, true);
}

int InputPluginHost::findPluginFrom(std::string_view name, int start) {
    int index = findIndex(name, start < 0 ? 0 : static_cast<size_t>(start));
    if (index >= 0 && records_[static_cast<size_t>(index)]->hostWindow == 0) {
        records_[static_cast<size_t>(index)]->hostWindow = serverWindow_;
    }
    return index;
}

SonariInModule* InputPluginHost::prepare(std::string_view name) {
    return prepareTarget(resolve(name).target);
}

SonariInModule* InputPluginHost::prepareTarget(const std::string& target) {
    SonariInModule* record = findPlugin(target);
    if (record == nullptr) {
        client_.sendEvent(kEventNoPlugin);
        return nullptr;
    }
    if ((record->flags & SONARI_IN_USES_OUTPUT) == 0) {
        record->outputModule = nullptr;
        return record;
    }
    SonariOutModule* output = outputs_.findByFileName(outputs_.preferredOutput());
    if (output == nullptr) {
        return nullptr;
    }
    record->outputModule = output;
    output->hostWindow = serverWindow_;
    return record;
}

int32_t InputPluginHost::play(std::string_view name, int32_t volume) {
    const std::string target = resolve(name).target;
    active_ = prepareTarget(target);
    if (active_ == nullptr) {
        return kNotPrepared;
    }
    if (active_->setEqualizer != nullptr && (active_->flags & SONARI_IN_OWN_EQUALIZER) != 0) {
        active_->setEqualizer(0, kBands.data(), SONARI_EQ_NEUTRAL);
    }
    if (active_->setVolume != nullptr) {
        active_->setVolume(volume);
    }
    if (active_->setPan != nullptr) {
        active_->setPan(0);
    }
    if (active_->play == nullptr) {
        return kNotPrepared;
    }
    return active_->play(target.c_str());
}

void InputPluginHost::pause() {
    if (active_ != nullptr && active_->pause != nullptr) {
        active_->pause();
    }
}

void InputPluginHost::unpause() {
    if (active_ != nullptr && active_->unpause != nullptr) {
        active_->unpause();
    }
}

void InputPluginHost::stop() {
    if (active_ != nullptr && active_->stop != nullptr) {
        active_->stop();
    }
}

int32_t InputPluginHost::length() {
    return active_ != nullptr && active_->getLength != nullptr ? active_->getLength()
                                                               : kUnknownLength;
}

int32_t InputPluginHost::position() {
    return active_ != nullptr && active_->getOutputTime != nullptr ? active_->getOutputTime() : 0;
}

void InputPluginHost::seek(int32_t ms) {
    if (active_ != nullptr && active_->setOutputTime != nullptr) {
        active_->setOutputTime(ms);
    }
}

void InputPluginHost::setVolume(int32_t volume) {
    if (active_ != nullptr && active_->setVolume != nullptr) {
        active_->setVolume(volume);
    }
}

void InputPluginHost::setPan(int32_t pan) {
    if (active_ != nullptr && active_->setPan != nullptr) {
        active_->setPan(pan);
    }
}

int32_t InputPluginHost::fileLength(std::string_view name) {
    const ResolvedName resolved = resolve(name);
    if (resolved.target.empty()) {
        return kUnknownLength;
    }
    SonariInModule* record = findPlugin(resolved.target);
    if (record == nullptr || record->getFileInfo == nullptr) {
        return kUnknownLength;
    }
    std::array<char, SONARI_IN_TITLE_SIZE> scratch{};
    int32_t ms = kUnknownLength;
    record->getFileInfo(resolved.target.c_str(), scratch.data(), &ms);
    return ms;
}

bool InputPluginHost::fileInfo(std::string_view name, std::string& title, int32_t& lengthMs) {
    SonariInModule* record = name.empty() ? active_ : findPlugin(name);
    if (record == nullptr || record->getFileInfo == nullptr) {
        return false;
    }
    std::array<char, SONARI_IN_TITLE_SIZE> buffer{};
    int32_t ms = kUnknownLength;
    const std::string text(name);
    record->getFileInfo(text.c_str(), buffer.data(), &ms);
    buffer.back() = '\0';
    title = buffer.data();
    lengthMs = ms;
    return true;
}

int32_t InputPluginHost::details(std::string_view file, FileDetails& details) {
    details = FileDetails{};
    if (resolve(file).pseudo) {
        return 0;
    }
    SonariInModule* record = findPlugin(file);
    if (record == nullptr || record->version < SONARI_IN_VERSION_DETAILS ||
        record->getDetails == nullptr) {
        return 0;
    }
    std::array<std::array<char, SONARI_IN_DETAILS_TEXT_SIZE>, 6> texts{};
    const std::string name(file);
    int32_t answer =
        record->getDetails(name.c_str(), texts[0].data(), texts[1].data(), texts[2].data(),
                           texts[3].data(), texts[4].data(), texts[5].data(), &details.numbers[0],
                           &details.numbers[1], &details.numbers[2], &details.numbers[3]);
    for (size_t i = 0; i < texts.size(); ++i) {
        texts[i].back() = '\0';
        details.texts[i] = texts[i].data();
    }
    return answer;
}

std::string InputPluginHost::fileTypeList() const {
    std::string list;
    for (SonariInModule* record : records_) {
        for (const FileTypePair& pair : fileTypePairs(record->fileTypes)) {
            if (!list.empty()) {
                list += '\t';
            }
            list += pair.extensions;
            list += '\t';
            list += pair.description;
        }
    }
    if (list.size() > kFileTypeListLimit) {
        list.resize(kFileTypeListLimit);
    }
    return list;
}

std::vector<std::string> InputPluginHost::extensionList() const {
    std::vector<std::string> list;
    for (SonariInModule* record : records_) {
        for (std::string_view extension : declaredExtensions(record->fileTypes)) {
            list.emplace_back(extension);
        }
    }
    return list;
}

SonariInModule* InputPluginHost::findByDescription(std::string_view prefix) const {
    for (SonariInModule* record : records_) {
        if (record->description != nullptr &&
            std::string_view(record->description).starts_with(prefix)) {
            return record;
        }
    }
    return nullptr;
}

void* InputPluginHost::exportOf(size_t index, const char* name) const {
    return table_.entries()[index].library.symbol(name);
}

bool InputPluginHost::setCustomDrm(int32_t value) {
    SonariInModule* record = findByDescription(kCustomDrmPluginPrefix);
    if (record == nullptr) {
        return false;
    }
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i] == record) {
            auto fn =
                reinterpret_cast<SonariSetUseCustomDrmFn>(exportOf(i, SONARI_SET_USE_CUSTOM_DRM));
            if (fn == nullptr) {
                return false;
            }
            fn(value);
            return true;
        }
    }
    assert(false && "a found record is in the table");
    return false;
}

void InputPluginHost::configureHttpStreaming() {
    setExtendedInfo(kHttpConfigFile, kHttpConfigKey, kHttpConfigValue);
}

StreamInfo InputPluginHost::streamInfo() const noexcept {
    return StreamInfo{static_cast<int16_t>(info1_.load()), info2_.load(),
                      static_cast<int16_t>(info3_.load())};
}

void InputPluginHost::storeStreamInfo(int32_t info1, int32_t info2, int32_t info3) noexcept {
    if (info3 != kNoValue) {
        info3_ = info3;
    }
    if (info1 != kNoValue) {
        info1_ = info1;
    }
    if (info2 != kNoValue) {
        info2_ = info2;
    }
}

}  // namespace vexa
