#include "axserver/inputs/input_host_module.h"

#include "axserver/channel/protocol.h"

namespace vexa {

namespace {

constexpr win::LRESULT kOk = kStatusOk;
constexpr win::LRESULT kFailed = kStatusFailed;
// Command 754 answers at most this many characters.
constexpr size_t kFileInfoValueSize = 1024;

int32_t wholeSeconds(int32_t ms) {
    return ms == -1 ? -1 : ms / 1000;
}

}  // namespace

void InputHostModule::LinkToClient::sendEvent(int32_t code) noexcept {
    try {
        link_.sendEvent(code, 0);
    } catch (...) {
    }
}

void InputHostModule::LinkToClient::postEvent(int32_t code) noexcept {
    try {
        link_.postEvent(code, 0);
    } catch (...) {
    }
}

void InputHostModule::LinkToClient::postStatus(int32_t code, int32_t value) noexcept {
    try {
        link_.raiseStatus(code, value);
    } catch (...) {
    }
}

void InputHostModule::LinkToClient::sendMetadata(std::string_view text, int32_t number) noexcept {
    try {
        link_.sendMetadata(text, number);
    } catch (...) {
    }
}

InputHostModule::InputHostModule(ServerLink& link, const OutputPluginHost& outputs)
    : link_(link), client_(link), host_(client_, outputs) {}

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

win::LRESULT InputHostModule::handleCommand(CommandCall& call) noexcept {
    try {
        return command(call);
    } catch (...) {
        return kFailed;
    }
}

win::LRESULT InputHostModule::command(CommandCall& call) {
    switch (call.number()) {
        case CMD_GET_FILE_TYPES:
            return call.writeResults({Value::s(host_.fileTypeList())}) ? kOk : kFailed;
        case CMD_GET_STREAM_INFO: {
            StreamInfo info = host_.streamInfo();
            return call.writeResults(
                       {Value::d(info.info1), Value::l(info.info2), Value::d(info.info3)})
                       ? kOk
                       : kFailed;
        }
        case CMD_GET_ENTRY_DETAILS:
            return entryDetails(call);
        case CMD_GET_FILE_DETAILS:
            return fileDetails(call);
        case CMD_GET_FILE_INFO: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            std::string value;
            host_.getExtendedInfo((*args)[0].text, (*args)[1].text, value, kFileInfoValueSize);
            return call.writeResults({Value::s(value)}) ? kOk : kFailed;
        }
        case CMD_GET_FILE_LENGTH_MS: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            return call.writeResults({Value::l(host_.fileLength((*args)[0].text))}) ? kOk : kFailed;
        }
        case CMD_SET_FILE_INFO: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            return host_.setExtendedInfo((*args)[0].text, (*args)[1].text, (*args)[2].text) != 0
                       ? kOk
                       : kFailed;
        }
        case CMD_WRITE_FILE_INFO:
            return host_.writeExtendedInfo() != 0 ? kOk : kFailed;
        case CMD_SET_CUSTOM_DRM: {
            auto args = call.readArgs();
            if (!args) {
                return kFailed;
            }
            return host_.setCustomDrm((*args)[0].number) ? kOk : kFailed;
        }
        default:
            return static_cast<win::LRESULT>(kStatusNotImplemented);
    }
}

win::LRESULT InputHostModule::fileDetails(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    const std::string& file = (*args)[0].text;
    const int32_t length = wholeSeconds(host_.fileLength(file));
    FileDetails details;
    const bool found = host_.details(file, details) != 0;
    if (!found) {
        for (auto& text : details.texts) {
            text.clear();
        }
    }
    const auto& t = details.texts;
    const auto& n = details.numbers;
    return call.writeResults({Value::d(found ? 1 : 0), Value::s(t[0]), Value::l(length),
                              Value::s(t[1]), Value::s(t[2]), Value::s(t[3]), Value::s(t[4]),
                              Value::s(t[5]), Value::d(n[0]), Value::l(n[1]), Value::d(n[2]),
                              Value::d(n[3])})
               ? kOk
               : kFailed;
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
    FileDetails details;
    const bool found = host_.details(*file, details) != 0;
    if (!found) {
        for (auto& text : details.texts) {
            text.clear();
        }
    }
    const auto& t = details.texts;
    const auto& n = details.numbers;
    return call.writeResults({Value::d(found ? 1 : 0), Value::s(t[0]), Value::s(t[1]),
                              Value::s(t[2]), Value::s(t[3]), Value::s(t[4]), Value::s(t[5]),
                              Value::d(n[0]), Value::l(n[1]), Value::d(n[2]), Value::d(n[3])})
               ? kOk
               : kFailed;
}

}  // namespace vexa
