#include "axserver/channel/command_table.h"

#include <algorithm>

#include "axserver/channel/protocol.h"

namespace vexa {

namespace {

using M = Module;

// Text argument limits.
constexpr uint32_t kFileLimit = 8195;
constexpr uint32_t kTitleLimit = 1023;
constexpr uint32_t kKeyLimit = 127;
constexpr uint32_t kItemLimit = 511;

constexpr CommandInfo kCommands[] = {
    {CMD_GET_DOWNLOADER, "CMD_GET_DOWNLOADER", "", "", M::kDownload, {}},
    {CMD_GET_VIDEO_OUTPUT, "CMD_GET_VIDEO_OUTPUT", "", "", M::kVideo, {}},
    {CMD_GET_RANGE, "CMD_GET_RANGE", "", "", M::kPlaylist, {}},
    {CMD_INSTANCE_STOP, "CMD_INSTANCE_STOP", "", "", M::kChannel, {}},
    {CMD_APPEND, "CMD_APPEND", "s", "", M::kPlaylist, {kFileLimit}},
    {CMD_PLAY, "CMD_PLAY", "", "", M::kPlayback, {}},
    {CMD_GET_FILE_TYPES, "CMD_GET_FILE_TYPES", "", "s", M::kInputHost, {}},
    {CMD_STOP, "CMD_STOP", "", "", M::kPlayback, {}},
    {CMD_PAUSE_TOGGLE, "CMD_PAUSE_TOGGLE", "", "", M::kPlayback, {}},
    {CMD_GET_POSITION, "CMD_GET_POSITION", "", "l", M::kPlayback, {}},
    {CMD_SEEK, "CMD_SEEK", "l", "", M::kPlayback, {}},
    {CMD_GET_VOLUME, "CMD_GET_VOLUME", "", "l", M::kPlayback, {}},
    {CMD_SET_VOLUME, "CMD_SET_VOLUME", "l", "", M::kPlayback, {}},
    {CMD_CLEAR, "CMD_CLEAR", "", "", M::kPlaylist, {}},
    {CMD_SET_CURRENT, "CMD_SET_CURRENT", "l", "", M::kPlaylist, {}},
    {CMD_GET_CURRENT, "CMD_GET_CURRENT", "", "l", M::kPlaylist, {}},
    {CMD_NEXT, "CMD_NEXT", "", "", M::kPlayback, {}},
    {CMD_PREVIOUS, "CMD_PREVIOUS", "", "", M::kPlayback, {}},
    {CMD_GET_CURRENT_ENTRY, "CMD_GET_CURRENT_ENTRY", "", "ss", M::kPlaylist, {}},
    {CMD_SET_SHUFFLE, "CMD_SET_SHUFFLE", "l", "", M::kPlayback, {}},
    {CMD_GET_SHUFFLE, "CMD_GET_SHUFFLE", "", "l", M::kPlayback, {}},
    {CMD_SET_REPEAT, "CMD_SET_REPEAT", "l", "", M::kPlayback, {}},
    {CMD_GET_REPEAT, "CMD_GET_REPEAT", "", "l", M::kPlayback, {}},
    {CMD_GET_STATE, "CMD_GET_STATE", "", "l", M::kPlayback, {}},
    {CMD_GET_LENGTH, "CMD_GET_LENGTH", "", "l", M::kPlayback, {}},
    {CMD_GET_COUNT, "CMD_GET_COUNT", "", "l", M::kPlaylist, {}},
    {CMD_GET_ENTRY, "CMD_GET_ENTRY", "l", "ssl", M::kPlaylist, {}},
    {CMD_DELETE_ENTRY, "CMD_DELETE_ENTRY", "l", "", M::kPlaylist, {}},
    {CMD_SWAP_ENTRIES, "CMD_SWAP_ENTRIES", "ll", "", M::kPlaylist, {}},
    {CMD_SORT_BY_TITLE, "CMD_SORT_BY_TITLE", "", "", M::kPlaylist, {}},
    {CMD_RANDOMIZE, "CMD_RANDOMIZE", "", "", M::kPlaylist, {}},
    {CMD_GET_ENTRY_DETAILS, "CMD_GET_ENTRY_DETAILS", "l", "dssssssdldd", M::kInputHost, {}},
    {CMD_NOT_IMPLEMENTED, "CMD_NOT_IMPLEMENTED", "s", "", M::kChannel, {kFileLimit}},
    {CMD_GET_STREAM_INFO, "CMD_GET_STREAM_INFO", "", "dld", M::kInputHost, {}},
    {CMD_GET_RESERVED_TEXT, "CMD_GET_RESERVED_TEXT", "", "s", M::kChannel, {}},
    {CMD_SET_RESERVED_TEXT, "CMD_SET_RESERVED_TEXT", "s", "", M::kChannel, {kFileLimit}},
    {CMD_UNSUPPORTED_TEXT, "CMD_UNSUPPORTED_TEXT", "s", "", M::kChannel, {kFileLimit}},
    {CMD_LOAD_PLS, "CMD_LOAD_PLS", "s", "", M::kPlaylist, {kFileLimit}},
    {CMD_LOAD_M3U, "CMD_LOAD_M3U", "s", "", M::kPlaylist, {kFileLimit}},
    {CMD_IS_NETWORK_ENTRY, "CMD_IS_NETWORK_ENTRY", "", "d", M::kPlayback, {}},
    {CMD_SET_VIDEO_PARENT, "CMD_SET_VIDEO_PARENT", "l", "", M::kVideo, {}},
    {CMD_SET_AUTO_SIZE, "CMD_SET_AUTO_SIZE", "l", "", M::kVideo, {}},
    {CMD_GET_VIDEO_SIZE, "CMD_GET_VIDEO_SIZE", "", "ll", M::kVideo, {}},
    {CMD_SET_CROSS_INSTANCE, "CMD_SET_CROSS_INSTANCE", "l", "", M::kChannel, {}},
    {CMD_ENTER_FULL_SCREEN, "CMD_ENTER_FULL_SCREEN", "", "", M::kVideo, {}},
    {CMD_LEAVE_FULL_SCREEN, "CMD_LEAVE_FULL_SCREEN", "", "", M::kVideo, {}},
    {CMD_SET_ALLOW_OVERLAY, "CMD_SET_ALLOW_OVERLAY", "l", "", M::kVideo, {}},
    {CMD_SET_SELECT_LIMIT, "CMD_SET_SELECT_LIMIT", "l", "", M::kPlaylist, {}},
    {CMD_GET_SELECT_LIMIT, "CMD_GET_SELECT_LIMIT", "", "l", M::kPlaylist, {}},
    {CMD_GET_SELECTED_VALUE, "CMD_GET_SELECTED_VALUE", "", "l", M::kPlaylist, {}},
    // On failure 747 writes its error text ("s") instead of the handle.
    {CMD_CONVERT_START, "CMD_CONVERT_START", "ssll", "l", M::kConvert, {511, 259}},
    {CMD_CONVERT_END, "CMD_CONVERT_END", "l", "", M::kConvert, {}},
    {CMD_SET_INSTANCE_TITLE, "CMD_SET_INSTANCE_TITLE", "s", "", M::kChannel, {kTitleLimit}},
    {CMD_GET_INSTANCE, "CMD_GET_INSTANCE", "l", "sl", M::kChannel, {}},
    {CMD_SET_SUBTITLES, "CMD_SET_SUBTITLES", "d", "", M::kVideo, {}},
    {CMD_GET_FILE_DETAILS,
     "CMD_GET_FILE_DETAILS",
     "s",
     "dslsssssdldd",
     M::kInputHost,
     {kFileLimit}},
    {CMD_GET_BUFFER_STATUS, "CMD_GET_BUFFER_STATUS", "", "l", M::kPlayback, {}},
    {CMD_GET_FILE_INFO, "CMD_GET_FILE_INFO", "ss", "s", M::kInputHost, {kFileLimit, kKeyLimit}},
    {CMD_BURN_LIST_CREATE, "CMD_BURN_LIST_CREATE", "l", "l", M::kBurn, {}},
    {CMD_BURN_LIST_ADD, "CMD_BURN_LIST_ADD", "ls", "", M::kBurn, {kFileLimit}},
    {CMD_BURN_LIST_FREE, "CMD_BURN_LIST_FREE", "l", "", M::kBurn, {}},
    {CMD_BURN_START, "CMD_BURN_START", "lllll", "", M::kBurn, {}},
    {CMD_BURN_LIST_SET_VALUE, "CMD_BURN_LIST_SET_VALUE", "lll", "", M::kBurn, {}},
    {CMD_GET_FILE_LENGTH_MS, "CMD_GET_FILE_LENGTH_MS", "s", "l", M::kInputHost, {kFileLimit}},
    {CMD_SET_ENCODER_ITEM,
     "CMD_SET_ENCODER_ITEM",
     "lss",
     "",
     M::kConvert,
     {kItemLimit, kItemLimit}},
    {CMD_SET_FILE_INFO,
     "CMD_SET_FILE_INFO",
     "sss",
     "",
     M::kInputHost,
     {kTitleLimit, kItemLimit, kItemLimit}},
    {CMD_WRITE_FILE_INFO, "CMD_WRITE_FILE_INFO", "", "", M::kInputHost, {}},
    {CMD_SET_SHOW_LOGO, "CMD_SET_SHOW_LOGO", "l", "", M::kVideo, {}},
    {CMD_SET_CUSTOM_DRM, "CMD_SET_CUSTOM_DRM", "l", "", M::kInputHost, {}},
    {CMD_GET_PROXY, "CMD_GET_PROXY", "", "ls", M::kChannel, {}},
    {CMD_SET_PROXY, "CMD_SET_PROXY", "ls", "", M::kChannel, {kItemLimit}},
    {CMD_REFRESH_TITLE, "CMD_REFRESH_TITLE", "", "", M::kPlaylist, {}},
    {CMD_SWAP_CLIENT, "CMD_SWAP_CLIENT", "", "", M::kChannel, {}, true},
    {CMD_ATTACH_VIDEO, "CMD_ATTACH_VIDEO", "", "", M::kVideo, {}, true},
};

constexpr bool sortedByNumber() {
    for (size_t i = 1; i < std::size(kCommands); ++i) {
        if (kCommands[i - 1].number >= kCommands[i].number) {
            return false;
        }
    }
    return true;
}
static_assert(sortedByNumber(), "command rows must stay in number order");

}  // namespace

std::span<const uint32_t> CommandInfo::limits() const {
    size_t n = 0;
    while (n < textLimits.size() && textLimits[n] != 0) {
        ++n;
    }
    return {textLimits.data(), n};
}

std::string_view moduleName(Module module) {
    switch (module) {
        case Module::kChannel:
            return "channel";
        case Module::kPlaylist:
            return "playlist";
        case Module::kPlayback:
            return "playback";
        case Module::kInputHost:
            return "input host";
        case Module::kVideo:
            return "video";
        case Module::kConvert:
            return "convert";
        case Module::kBurn:
            return "burn";
        case Module::kDownload:
            return "download";
    }
    return "?";
}

const CommandInfo* findCommand(int32_t number) {
    auto it = std::lower_bound(std::begin(kCommands), std::end(kCommands), number,
                               [](const CommandInfo& c, int32_t n) { return c.number < n; });
    if (it == std::end(kCommands) || it->number != number) {
        return nullptr;
    }
    return &*it;
}

std::span<const CommandInfo> allCommands() {
    return kCommands;
}

}  // namespace vexa
