#include "channel/command_table.h"

#include <algorithm>

#include "channel/protocol.h"

namespace vexa {

namespace {

// Text argument limits.
constexpr uint32_t kFileLimit = 8195;
constexpr uint32_t kTitleLimit = 1023;
constexpr uint32_t kKeyLimit = 127;
constexpr uint32_t kItemLimit = 511;

constexpr CommandInfo kCommands[] = {
    {CMD_GET_DOWNLOADER, "CMD_GET_DOWNLOADER", "", "", {}},
    {CMD_GET_VIDEO_OUTPUT, "CMD_GET_VIDEO_OUTPUT", "", "", {}},
    {CMD_GET_RANGE, "CMD_GET_RANGE", "", "", {}},
    {CMD_INSTANCE_STOP, "CMD_INSTANCE_STOP", "", "", {}},
    {CMD_APPEND, "CMD_APPEND", "s", "", {kFileLimit}},
    {CMD_PLAY, "CMD_PLAY", "", "", {}},
    {CMD_GET_FILE_TYPES, "CMD_GET_FILE_TYPES", "", "s", {}},
    {CMD_STOP, "CMD_STOP", "", "", {}},
    {CMD_PAUSE_TOGGLE, "CMD_PAUSE_TOGGLE", "", "", {}},
    {CMD_GET_POSITION, "CMD_GET_POSITION", "", "l", {}},
    {CMD_SEEK, "CMD_SEEK", "l", "", {}},
    {CMD_GET_VOLUME, "CMD_GET_VOLUME", "", "l", {}},
    {CMD_SET_VOLUME, "CMD_SET_VOLUME", "l", "", {}},
    {CMD_CLEAR, "CMD_CLEAR", "", "", {}},
    {CMD_SET_CURRENT, "CMD_SET_CURRENT", "l", "", {}},
    {CMD_GET_CURRENT, "CMD_GET_CURRENT", "", "l", {}},
    {CMD_NEXT, "CMD_NEXT", "", "", {}},
    {CMD_PREVIOUS, "CMD_PREVIOUS", "", "", {}},
    {CMD_GET_CURRENT_ENTRY, "CMD_GET_CURRENT_ENTRY", "", "ss", {}},
    {CMD_SET_SHUFFLE, "CMD_SET_SHUFFLE", "l", "", {}},
    {CMD_GET_SHUFFLE, "CMD_GET_SHUFFLE", "", "l", {}},
    {CMD_SET_REPEAT, "CMD_SET_REPEAT", "l", "", {}},
    {CMD_GET_REPEAT, "CMD_GET_REPEAT", "", "l", {}},
    {CMD_GET_STATE, "CMD_GET_STATE", "", "l", {}},
    {CMD_GET_LENGTH, "CMD_GET_LENGTH", "", "l", {}},
    {CMD_GET_COUNT, "CMD_GET_COUNT", "", "l", {}},
    {CMD_GET_ENTRY, "CMD_GET_ENTRY", "l", "ssl", {}},
    {CMD_DELETE_ENTRY, "CMD_DELETE_ENTRY", "l", "", {}},
    {CMD_SWAP_ENTRIES, "CMD_SWAP_ENTRIES", "ll", "", {}},
    {CMD_SORT_BY_TITLE, "CMD_SORT_BY_TITLE", "", "", {}},
    {CMD_RANDOMIZE, "CMD_RANDOMIZE", "", "", {}},
    {CMD_GET_ENTRY_DETAILS, "CMD_GET_ENTRY_DETAILS", "l", "dssssssdldd", {}},
    {CMD_NOT_IMPLEMENTED, "CMD_NOT_IMPLEMENTED", "s", "", {kFileLimit}},
    {CMD_GET_STREAM_INFO, "CMD_GET_STREAM_INFO", "", "dld", {}},
    {CMD_GET_RESERVED_TEXT, "CMD_GET_RESERVED_TEXT", "", "s", {}},
    {CMD_SET_RESERVED_TEXT, "CMD_SET_RESERVED_TEXT", "s", "", {kFileLimit}},
    {CMD_UNSUPPORTED_TEXT, "CMD_UNSUPPORTED_TEXT", "s", "", {kFileLimit}},
    {CMD_LOAD_PLS, "CMD_LOAD_PLS", "s", "", {kFileLimit}},
    {CMD_LOAD_M3U, "CMD_LOAD_M3U", "s", "", {kFileLimit}},
    {CMD_IS_NETWORK_ENTRY, "CMD_IS_NETWORK_ENTRY", "", "d", {}},
    {CMD_SET_VIDEO_PARENT, "CMD_SET_VIDEO_PARENT", "l", "", {}},
    {CMD_SET_AUTO_SIZE, "CMD_SET_AUTO_SIZE", "l", "", {}},
    {CMD_GET_VIDEO_SIZE, "CMD_GET_VIDEO_SIZE", "", "ll", {}},
    {CMD_SET_CROSS_INSTANCE, "CMD_SET_CROSS_INSTANCE", "l", "", {}},
    {CMD_ENTER_FULL_SCREEN, "CMD_ENTER_FULL_SCREEN", "", "", {}},
    {CMD_LEAVE_FULL_SCREEN, "CMD_LEAVE_FULL_SCREEN", "", "", {}},
    {CMD_SET_ALLOW_OVERLAY, "CMD_SET_ALLOW_OVERLAY", "l", "", {}},
    {CMD_SET_SELECT_LIMIT, "CMD_SET_SELECT_LIMIT", "l", "", {}},
    {CMD_GET_SELECT_LIMIT, "CMD_GET_SELECT_LIMIT", "", "l", {}},
    {CMD_GET_SELECTED_VALUE, "CMD_GET_SELECTED_VALUE", "", "l", {}},
    // On failure 747 writes its error text ("s") instead of the handle. Its long form
    // "sslllll" adds the WAV parameters (rate, bits, channels), which "ssll" cannot carry.
    {CMD_CONVERT_START, "CMD_CONVERT_START", "ssll", "l", {511, 259}, false, "sslllll"},
    {CMD_CONVERT_END, "CMD_CONVERT_END", "l", "", {}},
    {CMD_SET_INSTANCE_TITLE, "CMD_SET_INSTANCE_TITLE", "s", "", {kTitleLimit}},
    {CMD_GET_INSTANCE, "CMD_GET_INSTANCE", "l", "sl", {}},
    {CMD_SET_SUBTITLES, "CMD_SET_SUBTITLES", "d", "", {}},
    {CMD_GET_FILE_DETAILS, "CMD_GET_FILE_DETAILS", "s", "dslsssssdldd", {kFileLimit}},
    {CMD_GET_BUFFER_STATUS, "CMD_GET_BUFFER_STATUS", "", "l", {}},
    {CMD_GET_FILE_INFO, "CMD_GET_FILE_INFO", "ss", "s", {kFileLimit, kKeyLimit}},
    {CMD_BURN_LIST_CREATE, "CMD_BURN_LIST_CREATE", "l", "l", {}},
    {CMD_BURN_LIST_ADD, "CMD_BURN_LIST_ADD", "ls", "", {kFileLimit}},
    {CMD_BURN_LIST_FREE, "CMD_BURN_LIST_FREE", "l", "", {}},
    {CMD_BURN_START, "CMD_BURN_START", "lllll", "", {}},
    {CMD_BURN_LIST_SET_VALUE, "CMD_BURN_LIST_SET_VALUE", "lll", "", {}},
    {CMD_GET_FILE_LENGTH_MS, "CMD_GET_FILE_LENGTH_MS", "s", "l", {kFileLimit}},
    {CMD_SET_ENCODER_ITEM, "CMD_SET_ENCODER_ITEM", "lss", "", {kItemLimit, kItemLimit}},
    {CMD_SET_FILE_INFO, "CMD_SET_FILE_INFO", "sss", "", {kTitleLimit, kItemLimit, kItemLimit}},
    {CMD_WRITE_FILE_INFO, "CMD_WRITE_FILE_INFO", "", "", {}},
    {CMD_SET_SHOW_LOGO, "CMD_SET_SHOW_LOGO", "l", "", {}},
    {CMD_SET_CUSTOM_DRM, "CMD_SET_CUSTOM_DRM", "l", "", {}},
    {CMD_GET_PROXY, "CMD_GET_PROXY", "", "ls", {}},
    {CMD_SET_PROXY, "CMD_SET_PROXY", "ls", "", {kItemLimit}},
    {CMD_REFRESH_TITLE, "CMD_REFRESH_TITLE", "", "", {}},
    {CMD_SWAP_CLIENT, "CMD_SWAP_CLIENT", "", "", {}, true},
    {CMD_ATTACH_VIDEO, "CMD_ATTACH_VIDEO", "", "", {}, true},
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
