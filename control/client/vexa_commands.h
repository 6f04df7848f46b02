// Typed calls: one function per client command, its arguments packed by the command's type
// string and its results unpacked into the Reply (in the order of the result type string).
// Same thread and error rules as VexaClient::call.
#pragma once

#include <string>

#include "channel/protocol.h"
#include "control/client/vexa_client.h"

namespace vexa::commands {

inline Reply append(VexaClient& c, const std::string& file) {
    return c.call(CMD_APPEND, {Value::s(file)});
}
inline Reply play(VexaClient& c) {
    return c.call(CMD_PLAY);
}
inline Reply getFileTypes(VexaClient& c) {
    return c.call(CMD_GET_FILE_TYPES);
}
inline Reply stop(VexaClient& c) {
    return c.call(CMD_STOP);
}
inline Reply pauseToggle(VexaClient& c) {
    return c.call(CMD_PAUSE_TOGGLE);
}
inline Reply getPosition(VexaClient& c) {
    return c.call(CMD_GET_POSITION);
}
inline Reply seek(VexaClient& c, int32_t seconds) {
    return c.call(CMD_SEEK, {Value::l(seconds)});
}
inline Reply getVolume(VexaClient& c) {
    return c.call(CMD_GET_VOLUME);
}
inline Reply setVolume(VexaClient& c, int32_t volume) {
    return c.call(CMD_SET_VOLUME, {Value::l(volume)});
}
inline Reply clear(VexaClient& c) {
    return c.call(CMD_CLEAR);
}
inline Reply setCurrent(VexaClient& c, int32_t index) {
    return c.call(CMD_SET_CURRENT, {Value::l(index)});
}
inline Reply getCurrent(VexaClient& c) {
    return c.call(CMD_GET_CURRENT);
}
inline Reply next(VexaClient& c) {
    return c.call(CMD_NEXT);
}
inline Reply previous(VexaClient& c) {
    return c.call(CMD_PREVIOUS);
}
inline Reply getCurrentEntry(VexaClient& c) {
    return c.call(CMD_GET_CURRENT_ENTRY);
}
inline Reply setShuffle(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_SHUFFLE, {Value::l(flag)});
}
inline Reply getShuffle(VexaClient& c) {
    return c.call(CMD_GET_SHUFFLE);
}
inline Reply setRepeat(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_REPEAT, {Value::l(flag)});
}
inline Reply getRepeat(VexaClient& c) {
    return c.call(CMD_GET_REPEAT);
}
inline Reply getState(VexaClient& c) {
    return c.call(CMD_GET_STATE);
}
inline Reply getLength(VexaClient& c) {
    return c.call(CMD_GET_LENGTH);
}
inline Reply getCount(VexaClient& c) {
    return c.call(CMD_GET_COUNT);
}
inline Reply getEntry(VexaClient& c, int32_t index) {
    return c.call(CMD_GET_ENTRY, {Value::l(index)});
}
inline Reply deleteEntry(VexaClient& c, int32_t index) {
    return c.call(CMD_DELETE_ENTRY, {Value::l(index)});
}
inline Reply swapEntries(VexaClient& c, int32_t a, int32_t b) {
    return c.call(CMD_SWAP_ENTRIES, {Value::l(a), Value::l(b)});
}
inline Reply sortByTitle(VexaClient& c) {
    return c.call(CMD_SORT_BY_TITLE);
}
inline Reply randomize(VexaClient& c) {
    return c.call(CMD_RANDOMIZE);
}
inline Reply getEntryDetails(VexaClient& c, int32_t index) {
    return c.call(CMD_GET_ENTRY_DETAILS, {Value::l(index)});
}
inline Reply notImplemented(VexaClient& c, const std::string& text) {
    return c.call(CMD_NOT_IMPLEMENTED, {Value::s(text)});
}
inline Reply getStreamInfo(VexaClient& c) {
    return c.call(CMD_GET_STREAM_INFO);
}
inline Reply getReservedText(VexaClient& c) {
    return c.call(CMD_GET_RESERVED_TEXT);
}
inline Reply setReservedText(VexaClient& c, const std::string& text) {
    return c.call(CMD_SET_RESERVED_TEXT, {Value::s(text)});
}
inline Reply unsupportedText(VexaClient& c, const std::string& text) {
    return c.call(CMD_UNSUPPORTED_TEXT, {Value::s(text)});
}
inline Reply loadPls(VexaClient& c, const std::string& file) {
    return c.call(CMD_LOAD_PLS, {Value::s(file)});
}
inline Reply loadM3u(VexaClient& c, const std::string& file) {
    return c.call(CMD_LOAD_M3U, {Value::s(file)});
}
inline Reply isNetworkEntry(VexaClient& c) {
    return c.call(CMD_IS_NETWORK_ENTRY);
}
inline Reply setVideoParent(VexaClient& c, int32_t window) {
    return c.call(CMD_SET_VIDEO_PARENT, {Value::l(window)});
}
inline Reply setAutoSize(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_AUTO_SIZE, {Value::l(flag)});
}
inline Reply getVideoSize(VexaClient& c) {
    return c.call(CMD_GET_VIDEO_SIZE);
}
inline Reply setCrossInstance(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_CROSS_INSTANCE, {Value::l(flag)});
}
inline Reply enterFullScreen(VexaClient& c) {
    return c.call(CMD_ENTER_FULL_SCREEN);
}
inline Reply leaveFullScreen(VexaClient& c) {
    return c.call(CMD_LEAVE_FULL_SCREEN);
}
inline Reply setAllowOverlay(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_ALLOW_OVERLAY, {Value::l(flag)});
}
inline Reply setSelectLimit(VexaClient& c, int32_t limit) {
    return c.call(CMD_SET_SELECT_LIMIT, {Value::l(limit)});
}
inline Reply getSelectLimit(VexaClient& c) {
    return c.call(CMD_GET_SELECT_LIMIT);
}
inline Reply getSelectedValue(VexaClient& c) {
    return c.call(CMD_GET_SELECTED_VALUE);
}
inline Reply convertStart(VexaClient& c, const std::string& source, const std::string& destination,
                          int32_t outputType, int32_t progressWindow) {
    return c.call(CMD_CONVERT_START, {Value::s(source), Value::s(destination), Value::l(outputType),
                                      Value::l(progressWindow)});
}
inline Reply convertEnd(VexaClient& c, int32_t handle) {
    return c.call(CMD_CONVERT_END, {Value::l(handle)});
}
inline Reply setInstanceTitle(VexaClient& c, const std::string& title) {
    return c.call(CMD_SET_INSTANCE_TITLE, {Value::s(title)});
}
inline Reply getInstance(VexaClient& c, int32_t n) {
    return c.call(CMD_GET_INSTANCE, {Value::l(n)});
}
inline Reply setSubtitles(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_SUBTITLES, {Value::d(flag)});
}
inline Reply getFileDetails(VexaClient& c, const std::string& file) {
    return c.call(CMD_GET_FILE_DETAILS, {Value::s(file)});
}
inline Reply getBufferStatus(VexaClient& c) {
    return c.call(CMD_GET_BUFFER_STATUS);
}
inline Reply getFileInfo(VexaClient& c, const std::string& file, const std::string& key) {
    return c.call(CMD_GET_FILE_INFO, {Value::s(file), Value::s(key)});
}
inline Reply burnListCreate(VexaClient& c, int32_t drive) {
    return c.call(CMD_BURN_LIST_CREATE, {Value::l(drive)});
}
inline Reply burnListAdd(VexaClient& c, int32_t handle, const std::string& file) {
    return c.call(CMD_BURN_LIST_ADD, {Value::l(handle), Value::s(file)});
}
inline Reply burnListFree(VexaClient& c, int32_t handle) {
    return c.call(CMD_BURN_LIST_FREE, {Value::l(handle)});
}
inline Reply burnStart(VexaClient& c, int32_t handle, int32_t p1, int32_t p2, int32_t p3,
                       int32_t p4) {
    return c.call(CMD_BURN_START,
                  {Value::l(handle), Value::l(p1), Value::l(p2), Value::l(p3), Value::l(p4)});
}
inline Reply burnListSetValue(VexaClient& c, int32_t handle, int32_t index, int32_t value) {
    return c.call(CMD_BURN_LIST_SET_VALUE, {Value::l(handle), Value::l(index), Value::l(value)});
}
inline Reply getFileLengthMs(VexaClient& c, const std::string& file) {
    return c.call(CMD_GET_FILE_LENGTH_MS, {Value::s(file)});
}
inline Reply setEncoderItem(VexaClient& c, int32_t encoder, const std::string& item,
                            const std::string& value) {
    return c.call(CMD_SET_ENCODER_ITEM, {Value::l(encoder), Value::s(item), Value::s(value)});
}
inline Reply setFileInfo(VexaClient& c, const std::string& file, const std::string& key,
                         const std::string& value) {
    return c.call(CMD_SET_FILE_INFO, {Value::s(file), Value::s(key), Value::s(value)});
}
inline Reply writeFileInfo(VexaClient& c) {
    return c.call(CMD_WRITE_FILE_INFO);
}
inline Reply setShowLogo(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_SHOW_LOGO, {Value::l(flag)});
}
inline Reply setCustomDrm(VexaClient& c, int32_t flag) {
    return c.call(CMD_SET_CUSTOM_DRM, {Value::l(flag)});
}
inline Reply getProxy(VexaClient& c) {
    return c.call(CMD_GET_PROXY);
}
inline Reply setProxy(VexaClient& c, int32_t enabled, const std::string& server) {
    return c.call(CMD_SET_PROXY, {Value::l(enabled), Value::s(server)});
}
inline Reply refreshTitle(VexaClient& c) {
    return c.call(CMD_REFRESH_TITLE);
}

// The swap (command 800) is VexaClient::takeOver.

}  // namespace vexa::commands
