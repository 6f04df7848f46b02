#pragma once
// The host entries one play uses, copied from the record on the main thread at play so that the
// decode thread never reads the record the host writes. Every call checks its entry for null;
// the host's entries are safe from any thread and keep no pointer to the texts. Never throws.

#include <sonari/host_messages.h>
#include <sonari/in_module.h>
#include <sonari/video_output.h>

namespace kinvo::in_av {

struct HostLink {
    SonariOutModule* output = nullptr;
    SonariWindow window = 0;
    void (*setStreamInfo)(int32_t, int32_t, int32_t, int32_t) = nullptr;
    void (*reportAddress)(const char*) = nullptr;
    void (*postStatus)(int32_t, int32_t) = nullptr;
    void (*sendMetadata)(const char*, int32_t) = nullptr;

    static HostLink of(const SonariInModule& record) noexcept {
        HostLink link;
        link.output = record.outputModule;
        link.window = record.hostWindow;
        link.setStreamInfo = record.setStreamInfo;
        link.reportAddress = record.reportAddress;
        link.postStatus = record.postStatus;
        link.sendMetadata = record.sendMetadata;
        return link;
    }

    void streamInfo(int32_t bitrateKbps, int32_t sampleRate, int32_t channels) const noexcept {
        if (setStreamInfo != nullptr) {
            setStreamInfo(bitrateKbps, sampleRate, channels, -1);
        }
    }
    void address(const char* text) const noexcept {
        if (reportAddress != nullptr) {
            reportAddress(text);
        }
    }
    void status(int32_t code, int32_t value) const noexcept {
        if (postStatus != nullptr) {
            postStatus(code, value);
        }
    }
    void metadata(const char* text) const noexcept {
        if (sendMetadata != nullptr) {
            sendMetadata(text, 0);
        }
    }
    // The host's video output (null: no video window, or a host that offers none). The host's
    // thread only: a send from the decode thread would wait on a server thread joining it.
    SonariVideoOutput* videoOutput() const noexcept {
        if (sonariSendMessage == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<SonariVideoOutput*>(
            sonariSendMessage(window, SONARI_MSG_COMMAND, 0, SONARI_SERVICE_GET_VIDEO_OUTPUT));
    }
    // SONARI_MSG_TRACK_END to the server window (the host program defines sonariPostMessage).
    void trackEnd() const noexcept {
        if (sonariPostMessage != nullptr) {
            sonariPostMessage(window, SONARI_MSG_TRACK_END, 0, 0);
        }
    }
};

// The buffering statuses of a network stream.
inline constexpr int32_t kStatusCannotOpen = 206;
inline constexpr int32_t kStatusBufferingStarted = 208;
inline constexpr int32_t kStatusBufferingFinished = 214;
inline constexpr int32_t kStatusBufferValue = 223;

}  // namespace kinvo::in_av
