#include "axserver/playlist/playlist_module.h"

#include "axserver/inputs/input_host_module.h"
#include "axserver/playlist/entry_names.h"
#include "channel/protocol.h"

namespace vexa {

namespace {

constexpr win::LRESULT kOk = kStatusOk;
constexpr win::LRESULT kFailed = kStatusFailed;

using P = PlaylistModule;

}  // namespace

PlaylistModule::PlaylistModule(ServerLink& link, playlist::PlaylistServices services,
                               InputHostModule* inputs)
    : link_(link), playlist_(link, std::move(services)), inputs_(inputs) {
    if (inputs_ != nullptr) {
        inputs_->setNameResolver([this](std::string_view name) { return playlist_.resolve(name); });
        inputs_->setEntryFiles([this](int32_t index) -> std::optional<std::string> {
            const playlist::Entry* entry = playlist_.entries().entry(index);
            return entry != nullptr ? std::optional<std::string>(entry->file) : std::nullopt;
        });
    }
}

PlaylistModule::~PlaylistModule() {
    if (inputs_ != nullptr) {
        inputs_->setNameResolver(nullptr);
        inputs_->setEntryFiles(nullptr);
    }
}

std::unique_ptr<ServerModule> makePlaylistModule(ServerLink& link, const ServerModules& made) {
    auto* inputs = made.find<InputHostModule>();
    auto* download = made.find<StreamDownload>();
    playlist::PlaylistServices services;
    if (inputs != nullptr) {
        services.fileInfo = [inputs](std::string_view name, std::string& title, int32_t& ms) {
            return inputs->plugins().fileInfo(name, title, ms);
        };
    }
    if (download != nullptr) {
        services.download = [download](const std::string& address, const std::string& file) {
            return download->download(address, file);
        };
    }
    services.downloadTempFile = link.downloadTempFile();
    services.watchFolder = [&link](const std::string& folder) { link.watchFolder(folder); };
    return std::make_unique<PlaylistModule>(link, std::move(services), inputs);
}

std::span<const CommandHandler> PlaylistModule::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {
        on<&P::append>(CMD_APPEND),
        on<&P::clear>(CMD_CLEAR),
        on<&P::setCurrent>(CMD_SET_CURRENT),
        on<&P::getCurrent>(CMD_GET_CURRENT),
        on<&P::currentEntry>(CMD_GET_CURRENT_ENTRY),
        on<&P::count>(CMD_GET_COUNT),
        on<&P::entry>(CMD_GET_ENTRY),
        on<&P::deleteEntry>(CMD_DELETE_ENTRY),
        on<&P::swapEntries>(CMD_SWAP_ENTRIES),
        on<&P::sortByTitle>(CMD_SORT_BY_TITLE),
        on<&P::randomise>(CMD_RANDOMIZE),
        on<&P::loadPls>(CMD_LOAD_PLS),
        on<&P::loadM3u>(CMD_LOAD_M3U),
        on<&P::isNetworkEntry>(CMD_IS_NETWORK_ENTRY),
        on<&P::setSelectLimit>(CMD_SET_SELECT_LIMIT),
        on<&P::selectLimit>(CMD_GET_SELECT_LIMIT),
        on<&P::selectedValue>(CMD_GET_SELECTED_VALUE),
        on<&P::refreshTitle>(CMD_REFRESH_TITLE),
    };
    return kRows;
}

bool PlaylistModule::hasEntryWithFile(const std::string& path) const noexcept {
    return playlist_.hasEntryWithFile(path);
}

win::LRESULT PlaylistModule::append(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    playlist_.append((*args)[0].text);
    return kOk;
}

win::LRESULT PlaylistModule::loadPls(CommandCall& call) {
    auto args = call.readArgs();
    return args ? playlist_.loadPls((*args)[0].text) : kFailed;
}

win::LRESULT PlaylistModule::loadM3u(CommandCall& call) {
    auto args = call.readArgs();
    return args ? playlist_.loadM3u((*args)[0].text) : kFailed;
}

win::LRESULT PlaylistModule::clear(CommandCall&) {
    playlist_.entries().clear();
    return kOk;
}

win::LRESULT PlaylistModule::setCurrent(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    playlist_.entries().setCurrent((*args)[0].number);
    link_.sendEvent(kEventCurrentChanged);
    return kOk;
}

win::LRESULT PlaylistModule::getCurrent(CommandCall& call) {
    return call.writeResults({Value::l(playlist_.entries().current())}) ? kOk : kFailed;
}

win::LRESULT PlaylistModule::currentEntry(CommandCall& call) {
    const playlist::EntryList& entries = playlist_.entries();
    const playlist::Entry* entry = entries.entry(entries.current());
    Values results{Value::s(entry != nullptr ? entry->file : std::string()),
                   Value::s(entries.numberedTitle(entries.current()))};
    return call.writeResults(results) ? kOk : kFailed;
}

win::LRESULT PlaylistModule::count(CommandCall& call) {
    return call.writeResults({Value::l(playlist_.entries().count())}) ? kOk : kFailed;
}

win::LRESULT PlaylistModule::entry(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    const playlist::Entry* entry = playlist_.entries().entry((*args)[0].number);
    if (entry == nullptr) {
        return static_cast<win::LRESULT>(kStatusOutOfRange);
    }
    return call.writeResults(
               {Value::s(entry->file), Value::s(entry->title), Value::l(entry->length)})
               ? kOk
               : kFailed;
}

win::LRESULT PlaylistModule::deleteEntry(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    playlist_.entries().remove((*args)[0].number);
    link_.sendEvent(kEventCurrentChanged);
    return kOk;
}

win::LRESULT PlaylistModule::swapEntries(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    playlist_.entries().swap((*args)[0].number, (*args)[1].number);
    return kOk;
}

win::LRESULT PlaylistModule::sortByTitle(CommandCall&) {
    playlist_.entries().sortByTitle();
    link_.sendEvent(kEventCurrentChanged);
    return kOk;
}

win::LRESULT PlaylistModule::randomise(CommandCall&) {
    playlist_.entries().randomise(processRandom());
    link_.sendEvent(kEventCurrentChanged);
    return kOk;
}

win::LRESULT PlaylistModule::isNetworkEntry(CommandCall& call) {
    const playlist::EntryList& entries = playlist_.entries();
    const playlist::Entry* entry = entries.entry(entries.current());
    const bool network =
        playing_ && playing_() && entry != nullptr && playlist::isNetworkName(entry->file);
    return call.writeResults({Value::d(network ? 1 : 0)}) ? kOk : kFailed;
}

win::LRESULT PlaylistModule::setSelectLimit(CommandCall& call) {
    auto args = call.readArgs();
    if (!args) {
        return kFailed;
    }
    playlist_.setSelectLimit((*args)[0].number);
    return kOk;
}

win::LRESULT PlaylistModule::selectLimit(CommandCall& call) {
    return call.writeResults({Value::l(playlist_.selectLimit())}) ? kOk : kFailed;
}

win::LRESULT PlaylistModule::selectedValue(CommandCall& call) {
    return call.writeResults({Value::l(playlist_.selectedValue())}) ? kOk : kFailed;
}

win::LRESULT PlaylistModule::refreshTitle(CommandCall&) {
    playlist_.refreshTitle();
    return kOk;
}

}  // namespace vexa
