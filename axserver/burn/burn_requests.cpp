#include "axserver/burn/burn_requests.h"

#include <unistd.h>

#include <cstdio>

#include "axserver/burn/burn_command_line.h"
#include "axserver/burn/burn_list_file.h"
#include "axserver/burn/burn_process.h"
#include "axserver/burn/burn_rules.h"
#include "axserver/burn/texts.h"
#include "axserver/convert/media_runtime.h"
#include "axserver/inputs/input_host_module.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/temp_files.h"

namespace vexa {

namespace {

using M = BurnRequestsModule;
constexpr size_t kTypeRoom = 64;

}  // namespace

BurnRequestsModule::BurnRequestsModule(ServerLink& link, BurnRequestServices services)
    : link_(link), services_(std::move(services)) {}

std::span<const CommandHandler> BurnRequestsModule::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {
        on<&M::create>(CMD_BURN_LIST_CREATE),      on<&M::add>(CMD_BURN_LIST_ADD),
        on<&M::free>(CMD_BURN_LIST_FREE),          on<&M::start>(CMD_BURN_START),
        on<&M::setValue>(CMD_BURN_LIST_SET_VALUE),
    };
    return kRows;
}

const BurnRequest* BurnRequestsModule::find(uint32_t handle) const {
    auto it = requests_.find(handle);
    return it == requests_.end() ? nullptr : &it->second;
}

void BurnRequestsModule::setBurnWindow(win::WPARAM request, win::HWND burnWindow) noexcept {
    auto it = requests_.find(static_cast<uint32_t>(request));
    if (it != requests_.end()) {
        it->second.burnWindow = burnWindow;
    }
}

win::LRESULT BurnRequestsModule::create(CommandCall& call) {
    auto args = call.readArgs();
    if (!args || nextHandle_ == 0) {
        return kStatusFailed;
    }
    BurnRequest request;
    request.drive = (*args)[0].number;
    const uint32_t handle = nextHandle_;
    requests_.emplace(handle, std::move(request));
    ++nextHandle_;
    return call.writeResults({Value::l(static_cast<int32_t>(handle))}) ? kStatusOk : kStatusFailed;
}

win::LRESULT BurnRequestsModule::add(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kStatusFailed;
    }
    auto it = requests_.find(static_cast<uint32_t>((*args)[0].number));
    const std::string& file = (*args)[1].text;
    if (it == requests_.end() || it->second.files.size() >= kMaxRequestFiles) {
        return kStatusFailed;
    }
    std::string type = services_.typeOf(file);
    if (type.size() >= kTypeRoom) {
        type.resize(kTypeRoom - 1);
    }
    if (!mayBeBurned(file, services_.extensions(), type, services_.windowsMediaVersion())) {
        return kStatusFailed;
    }
    BurnRequest& request = it->second;
    request.values[request.files.size()] = 0;
    request.files.push_back(file);
    return kStatusOk;
}

win::LRESULT BurnRequestsModule::free(CommandCall& call) {
    return withNumber(call, [&](int32_t handle) {
        auto it = requests_.find(static_cast<uint32_t>(handle));
        if (it == requests_.end()) {
            return;
        }
        if (it->second.burnWindow != 0 && win::isWindow(it->second.burnWindow)) {
            win::postMessage(it->second.burnWindow, kBurnQuery, 0, kQueryAbort);
        }
        requests_.erase(it);
    });
}

std::optional<std::string> BurnRequestsModule::writeListFile(const BurnRequest& request) const {
    std::string folder = win::tempFolder();
    std::string name;
    if (auto unique = win::uniqueTempFile(folder.empty() ? "." : folder, burn_texts::kListPrefix)) {
        ::unlink(unique->c_str());
        name = *unique + burn_texts::kListSuffix;
    } else {
        name = burn_texts::kListFallback;
    }
    std::FILE* file = std::fopen(name.c_str(), "w");
    if (file == nullptr) {
        return std::nullopt;
    }
    const std::vector<int32_t> values(
        request.values.begin(), request.values.begin() + static_cast<long>(request.files.size()));
    const std::string text = burnListText(request.files, values);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        ::unlink(name.c_str());
        return std::nullopt;
    }
    return name;
}

win::LRESULT BurnRequestsModule::start(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kStatusFailed;
    }
    const Values& a = *args;
    const auto handle = static_cast<uint32_t>(a[0].number);
    auto it = requests_.find(handle);
    if (it == requests_.end() || it->second.files.empty() ||
        it->second.files.size() > kMaxDiscTracks) {
        return kStatusFailed;
    }
    BurnRequest& request = it->second;
    auto listFile = writeListFile(request);
    if (!listFile) {
        return kStatusFailed;
    }
    request.listFile = *listFile;
    BurnArguments burn;
    burn.drive = static_cast<char>(request.drive);
    burn.listFile = request.listFile;
    burn.numbers = {a[1].number,
                    a[2].number,
                    a[3].number,
                    a[4].number,
                    static_cast<int32_t>(link_.serverWindow()),
                    static_cast<int32_t>(handle)};
    const std::string program = services_.programPath();
    services_.startProcess(program, burnCommandLine(program, burn));
    return kStatusOk;
}

win::LRESULT BurnRequestsModule::setValue(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kStatusFailed;
    }
    auto it = requests_.find(static_cast<uint32_t>((*args)[0].number));
    const int32_t index = (*args)[1].number;
    if (it == requests_.end() || index < 0 || static_cast<size_t>(index) >= kMaxRequestFiles) {
        return kStatusFailed;
    }
    it->second.values[static_cast<size_t>(index)] = (*args)[2].number;
    return kStatusOk;
}

std::unique_ptr<ServerModule> makeBurnRequestsModule(ServerLink& link, const ServerModules& made) {
    auto* inputs = made.find<InputHostModule>();
    if (inputs == nullptr) {
        return nullptr;
    }
    InputPluginHost* host = &inputs->plugins();
    BurnRequestServices services;
    services.extensions = [host] { return host->extensionList(); };
    services.typeOf = [host](const std::string& file) {
        std::string type;
        host->getExtendedInfo(file, "type", type, kTypeRoom);
        return type;
    };
    services.windowsMediaVersion = [] { return windowsMediaRuntimeVersion(); };
    services.startProcess = [](const std::string& program, const std::string& commandLine) {
        win::createProcess(program, commandLine);
    };
    services.programPath = [] { return win::ownExecutablePath(); };
    return std::make_unique<BurnRequestsModule>(link, std::move(services));
}

}  // namespace vexa
