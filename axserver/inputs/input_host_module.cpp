#include "axserver/inputs/input_host_module.h"

#include "axserver/outputs/output_host_module.h"
#include "channel/protocol.h"

namespace vexa {

namespace {

constexpr win::LRESULT kOk = kStatusOk;
constexpr win::LRESULT kFailed = kStatusFailed;
// Command 754 answers at most this many characters.
constexpr size_t kFileInfoValueSize = 1024;

int32_t wholeSeconds(int32_t ms) {
    return ms == -1 ? -1 : ms / 1000;
}

// The details of 727 and 752: found (d), the six texts and the four numbers (d l d d); the
// texts are empty when no plug-in answered. `length` (752's "l" after the first text) is
// inserted when given.
Values detailResults(InputPluginHost& host, const std::string& file,
                     std::optional<int32_t> length) {
    FileDetails details;
    const bool found = host.details(file, details) != 0;
    if (!found) {
        for (auto& text : details.texts) {
            text.clear();
        }
    }
    const auto& t = details.texts;
    const auto& n = details.numbers;
    Values results{Value::d(found ? 1 : 0), Value::s(t[0])};
    if (length) {
        results.push_back(Value::l(*length));
    }
    for (size_t i = 1; i < t.size(); ++i) {
        results.push_back(Value::s(t[i]));
    }
    results.insert(results.end(), {Value::d(n[0]), Value::l(n[1]), Value::d(n[2]), Value::d(n[3])});
    return results;
}

using I = InputHostModule;

}  // namespace

InputHostModule::InputHostModule(ServerLink& link, const OutputPluginHost& outputs)
    : link_(link), host_(link, outputs) {}

std::unique_ptr<ServerModule> makeInputHostModule(ServerLink& link, const ServerModules& made) {
    const auto* outputs = made.find<OutputHostModule>();
    if (outputs == nullptr) {
        return nullptr;
    }
    return std::make_unique<InputHostModule>(link, outputs->plugins());
}

std::span<const CommandHandler> InputHostModule::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {
        on<&I::fileTypes>(CMD_GET_FILE_TYPES),    on<&I::entryDetails>(CMD_GET_ENTRY_DETAILS),
        on<&I::streamInfo>(CMD_GET_STREAM_INFO),  on<&I::fileDetails>(CMD_GET_FILE_DETAILS),
        on<&I::getFileInfo>(CMD_GET_FILE_INFO),   on<&I::fileLength>(CMD_GET_FILE_LENGTH_MS),
        on<&I::setFileInfo>(CMD_SET_FILE_INFO),   on<&I::writeFileInfo>(CMD_WRITE_FILE_INFO),
        on<&I::setCustomDrm>(CMD_SET_CUSTOM_DRM),
    };
    return kRows;
}

void InputHostModule::loadPlugins() noexcept {
    try {
        host_.loadAll(link_.moduleDir(), link_.serverWindow());
    } catch (...) {
        // Out of memory while loading: the plug-ins loaded so far stay, the rest are missing.
    }
}

void InputHostModule::unloadPlugins() noexcept {
    host_.unloadAll();
}

bool InputHostModule::setExtendedFileInfo(const std::string& file, const std::string& item,
                                          const std::string& value) noexcept {
    try {
        return host_.setExtendedInfo(file, item, value) != 0;
    } catch (...) {
        return false;
    }
}

win::LRESULT InputHostModule::fileTypes(CommandCall& call) {
    return call.writeResults({Value::s(host_.fileTypeList())}) ? kOk : kFailed;
}

win::LRESULT InputHostModule::streamInfo(CommandCall& call) {
    StreamInfo info = host_.streamInfo();
    return call.writeResults({Value::d(info.info1), Value::l(info.info2), Value::d(info.info3)})
               ? kOk
               : kFailed;
}

win::LRESULT InputHostModule::fileDetails(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    const std::string& file = (*args)[0].text;
    const int32_t length = wholeSeconds(host_.fileLength(file));
    return call.writeResults(detailResults(host_, file, length)) ? kOk : kFailed;
}

win::LRESULT InputHostModule::entryDetails(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    if (!entryFiles_) {
        return static_cast<win::LRESULT>(kStatusNotImplemented);
    }
    std::optional<std::string> file = entryFiles_((*args)[0].number);
    if (!file) {
        return static_cast<win::LRESULT>(kStatusOutOfRange);
    }
    if (file->empty()) {
        return kFailed;
    }
    return call.writeResults(detailResults(host_, *file, std::nullopt)) ? kOk : kFailed;
}

win::LRESULT InputHostModule::getFileInfo(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    std::string value;
    host_.getExtendedInfo((*args)[0].text, (*args)[1].text, value, kFileInfoValueSize);
    return call.writeResults({Value::s(value)}) ? kOk : kFailed;
}

win::LRESULT InputHostModule::fileLength(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    return call.writeResults({Value::l(host_.fileLength((*args)[0].text))}) ? kOk : kFailed;
}

win::LRESULT InputHostModule::setFileInfo(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    return host_.setExtendedInfo((*args)[0].text, (*args)[1].text, (*args)[2].text) != 0 ? kOk
                                                                                         : kFailed;
}

win::LRESULT InputHostModule::writeFileInfo(CommandCall&) {
    return host_.writeExtendedInfo() != 0 ? kOk : kFailed;
}

win::LRESULT InputHostModule::setCustomDrm(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    return host_.setCustomDrm((*args)[0].number) ? kOk : kFailed;
}

}  // namespace vexa
