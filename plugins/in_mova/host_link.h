#pragma once
// The host entries one play uses, copied from the record at play on the main thread, so the play
// thread never reads the record the host writes. Every call checks its entry (or the host's weak
// function) for null and then does nothing; all are safe from any thread. Never throws.

#include <sonari/host_messages.h>
#include <sonari/in_module.h>
#include <sonari/video_output.h>

namespace kinvo::in_mova {

// The commands of SONARI_MSG_COMMAND the plug-in sends beside the service queries.
inline constexpr intptr_t kCommandStop = 703;

struct HostLink {
    SonariWindow window = 0;
    void (*postStatusEntry)(int32_t, int32_t) = nullptr;
    void (*postEventEntry)(int32_t) = nullptr;

    static HostLink of(const SonariInModule& record) noexcept {
        return {record.hostWindow, record.postStatus, record.postEvent};
    }

    void status(int32_t code, int32_t value) const noexcept {
        if (postStatusEntry != nullptr) {
            postStatusEntry(code, value);
        }
    }
    void event(int32_t code) const noexcept {
        if (postEventEntry != nullptr) {
            postEventEntry(code);
        }
    }
    // The host's video output; null when it has no video window or offers none.
    SonariVideoOutput* videoOutput() const noexcept {
        if (sonariSendMessage == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<SonariVideoOutput*>(
            sonariSendMessage(window, SONARI_MSG_COMMAND, 0, SONARI_SERVICE_GET_VIDEO_OUTPUT));
    }
    void trackEnd() const noexcept {
        if (sonariPostMessage != nullptr) {
            sonariPostMessage(window, SONARI_MSG_TRACK_END, 0, 0);
        }
    }
    // Asks the host to stop this stream and go on to the next entry.
    void stopAndAdvance() const noexcept {
        if (sonariPostMessage != nullptr) {
            sonariPostMessage(window, SONARI_MSG_COMMAND, 0, kCommandStop);
            sonariPostMessage(window, SONARI_MSG_TRACK_END, 0, 0);
        }
    }
};

// Statuses of a stream.
inline constexpr int32_t kStatusConnecting = 201;
inline constexpr int32_t kStatusFailed = 206;
inline constexpr int32_t kStatusBuffering = 208;
inline constexpr int32_t kStatusBuffered = 214;
inline constexpr int32_t kStatusThreadKilled = 220;

}  // namespace kinvo::in_mova
