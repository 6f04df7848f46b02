// The control channel's fixed numbers and texts: message numbers, command numbers, event and
// status codes, the server window's class name and the shared block names. Shared by vexahost
// and its clients; every value here is part of the wire contract and must not change.
#pragma once

#include <cstdint>

namespace vexa {

// Messages of the server window (and, for 0x403 to 0x406, of the client window).
inline constexpr uint32_t SRV_COMMAND = 0x400;
inline constexpr uint32_t SRV_TRACK_END = 0x402;
inline constexpr uint32_t SRV_EVENT = 0x403;
inline constexpr uint32_t SRV_STATUS = 0x404;
inline constexpr uint32_t SRV_METADATA = 0x405;
inline constexpr uint32_t SRV_READY = 0x406;
inline constexpr uint32_t SRV_SHELL_CHANGE = 0x407;
inline constexpr uint32_t SRV_BURN_STATUS = 0x900;
inline constexpr uint32_t SRV_BURN_WINDOW = 0x901;

// Liveness timer of the server window.
inline constexpr uintptr_t kLivenessTimerId = 0x935;
inline constexpr uint32_t kLivenessPeriodMs = 2000;

// Command answers.
inline constexpr uint32_t kStatusOk = 0;
inline constexpr uint32_t kStatusFailed = 1;
inline constexpr uint32_t kStatusOutOfRange = 0x80070057;
inline constexpr uint32_t kStatusNotImplemented = 0x80004001;

// Command numbers (lParam of SRV_COMMAND).
enum Command : int32_t {
    CMD_GET_DOWNLOADER = 240,
    CMD_GET_VIDEO_OUTPUT = 500,
    CMD_GET_RANGE = 501,
    CMD_INSTANCE_STOP = 600,
    CMD_APPEND = 700,
    CMD_PLAY = 701,
    CMD_GET_FILE_TYPES = 702,
    CMD_STOP = 703,
    CMD_PAUSE_TOGGLE = 704,
    CMD_GET_POSITION = 705,
    CMD_SEEK = 706,
    CMD_GET_VOLUME = 707,
    CMD_SET_VOLUME = 708,
    CMD_CLEAR = 709,
    CMD_SET_CURRENT = 710,
    CMD_GET_CURRENT = 711,
    CMD_NEXT = 712,
    CMD_PREVIOUS = 713,
    CMD_GET_CURRENT_ENTRY = 714,
    CMD_SET_SHUFFLE = 715,
    CMD_GET_SHUFFLE = 716,
    CMD_SET_REPEAT = 717,
    CMD_GET_REPEAT = 718,
    CMD_GET_STATE = 719,
    CMD_GET_LENGTH = 720,
    CMD_GET_COUNT = 721,
    CMD_GET_ENTRY = 722,
    CMD_DELETE_ENTRY = 723,
    CMD_SWAP_ENTRIES = 724,
    CMD_SORT_BY_TITLE = 725,
    CMD_RANDOMIZE = 726,
    CMD_GET_ENTRY_DETAILS = 727,
    CMD_NOT_IMPLEMENTED = 728,
    CMD_GET_STREAM_INFO = 729,
    CMD_GET_RESERVED_TEXT = 730,
    CMD_SET_RESERVED_TEXT = 731,
    CMD_UNSUPPORTED_TEXT = 732,
    CMD_LOAD_PLS = 733,
    CMD_LOAD_M3U = 734,
    CMD_IS_NETWORK_ENTRY = 735,
    CMD_SET_VIDEO_PARENT = 737,
    CMD_SET_AUTO_SIZE = 738,
    CMD_GET_VIDEO_SIZE = 739,
    CMD_SET_CROSS_INSTANCE = 740,
    CMD_ENTER_FULL_SCREEN = 741,
    CMD_LEAVE_FULL_SCREEN = 742,
    CMD_SET_ALLOW_OVERLAY = 743,
    CMD_SET_SELECT_LIMIT = 744,
    CMD_GET_SELECT_LIMIT = 745,
    CMD_GET_SELECTED_VALUE = 746,
    CMD_CONVERT_START = 747,
    CMD_CONVERT_END = 748,
    CMD_SET_INSTANCE_TITLE = 749,
    CMD_GET_INSTANCE = 750,
    CMD_SET_SUBTITLES = 751,
    CMD_GET_FILE_DETAILS = 752,
    CMD_GET_BUFFER_STATUS = 753,
    CMD_GET_FILE_INFO = 754,
    CMD_BURN_LIST_CREATE = 755,
    CMD_BURN_LIST_ADD = 756,
    CMD_BURN_LIST_FREE = 757,
    CMD_BURN_START = 758,
    CMD_BURN_LIST_SET_VALUE = 759,
    CMD_GET_FILE_LENGTH_MS = 760,
    CMD_SET_ENCODER_ITEM = 761,
    CMD_SET_FILE_INFO = 762,
    CMD_WRITE_FILE_INFO = 763,
    CMD_SET_SHOW_LOGO = 764,
    CMD_SET_CUSTOM_DRM = 765,
    CMD_GET_PROXY = 766,
    CMD_SET_PROXY = 767,
    CMD_REFRESH_TITLE = 768,
    CMD_SWAP_CLIENT = 800,
    CMD_ATTACH_VIDEO = 801,
};

// SRV_EVENT codes (wParam).
inline constexpr int32_t kEventTrackEndHandled = 1;
inline constexpr int32_t kEventCurrentChanged = 2;
inline constexpr int32_t kEventPlaybackStarted = 4;
inline constexpr int32_t kEventVideoNoWindow = 5;
inline constexpr int32_t kEventVideoResized = 6;
inline constexpr int32_t kEventVideoClosed = 7;
inline constexpr int32_t kEventFullScreenLeft = 9;
inline constexpr int32_t kEventFullScreenEntered = 10;
inline constexpr int32_t kEventVideoNotAWindow = 11;
inline constexpr int32_t kEventPluginRefused = 100;
inline constexpr int32_t kEventNoPlugin = 101;
inline constexpr int32_t kEventNotStarted = 102;
inline constexpr int32_t kEventCannotOpen = 104;
inline constexpr int32_t kEventNothingToPlay = 105;
inline constexpr int32_t kEventPlaylistEmpty = 106;
inline constexpr int32_t kEventFailed400 = 107;
inline constexpr int32_t kEventFailed100 = 108;
inline constexpr int32_t kEventFailed500 = 109;
inline constexpr int32_t kEventQuickTimeMissing = 110;
inline constexpr int32_t kEventFilesChanged = 112;
inline constexpr int32_t kEventQuickTimeM4p = 113;
inline constexpr int32_t kEventFilesChangedTail = 240;  // lParam -1, always after 112

// SRV_STATUS codes (wParam; the value is lParam).
// The stream download, in the order it raises them (202 carries the HTTP status).
inline constexpr int32_t kStatusDownloadStarting = 200;
inline constexpr int32_t kStatusDownloadOpening = 201;
inline constexpr int32_t kStatusDownloadBadStatus = 202;
inline constexpr int32_t kStatusDownloadReceiving = 203;
inline constexpr int32_t kStatusDownloadComplete = 204;
inline constexpr int32_t kStatusDownloadCannotCreate = 205;
inline constexpr int32_t kStatusDownloadCannotOpen = 206;
// A "select://" or "range://" address that does not parse; the value is its error number.
inline constexpr int32_t kStatusBadPseudoAddress = 221;
inline constexpr int32_t kStatusBufferingStarted = 208;
inline constexpr int32_t kStatusBufferingFinished = 214;
inline constexpr int32_t kStatusBufferValue = 223;
// Input in the video window: a key (virtual-key code), a system key, the right button released
// (x in the low, y in the high 16 bits).
inline constexpr int32_t kStatusVideoKey = 216;
inline constexpr int32_t kStatusVideoSystemKey = 217;
inline constexpr int32_t kStatusVideoRightClick = 231;
// Burn progress reports 0 to 5 (SRV_BURN_STATUS wParam) become these statuses.
inline constexpr int32_t kBurnStatusCodes[6] = {226, 227, 228, 229, 230, 242};

// Shell change event ids (lParam of SRV_SHELL_CHANGE).
inline constexpr int32_t kShellItemRenamed = 0x1;
inline constexpr int32_t kShellFolderChanged = 0x1000;
inline constexpr int32_t kShellItemChanged = 0x2000;

// The control block: a 32-bit fill count followed by the payload.
inline constexpr uint32_t kPayloadSize = 65536;
inline constexpr uint32_t kBlockSize = 4 + kPayloadSize;
inline constexpr int32_t kFillEmpty = -1;

// The swap block of command 800: five 32-bit fields.
inline constexpr uint32_t kSwapBlockSize = 5 * 4;
enum SwapField : int {
    kSwapState = 0,
    kSwapSlot1 = 1,
    kSwapSlot2 = 2,
    kSwapSlot3 = 3,
    kSwapSlot4 = 4
};

// Time-out of the sends the server makes to other windows (stop broadcast, swap).
inline constexpr uint32_t kOtherWindowSendTimeoutMs = 5000;

// Texts.
inline constexpr char kServerClassName[] = "SonariCOM Hidden Window (Server)";
inline constexpr char kControlBlockFormat[] = "Vexa_%d";
inline constexpr char kSwapBlockFormat[] = "VexaSwap_%d\n";
inline constexpr char kSwapFailureTrace[] = "Failure 1\n";
inline constexpr char kBurnSwitch[] = "/BURN=";
inline constexpr char kProxyKey[] = "Software\\ZEM\\Kelpo";
inline constexpr char kProxyEnableValue[] = "ProxyEnable";
inline constexpr char kProxyServerValue[] = "ProxyServer";

}  // namespace vexa
