// The host entries that go into every input module record: visualisation and DSP, stream
// information and the callbacks to the client. They are plain C functions without a context
// argument, so they reach the host through one process-wide target, set while an InputPluginHost
// has plug-ins loaded. Called by plug-ins from any thread; a call while no host is the target does
// nothing (and answers as without a ring).
#pragma once

#include <sonari/in_module.h>

#include <string_view>

namespace vexa {

class InputPluginHost;

// Fills the visualisation and DSP entries (24 to 34) and, by version, reportAddress, postStatus,
// sendMetadata (0x101 and later) and postEvent (0x102). Leaves setStreamInfo alone.
void fillHostEntries(SonariInModule& record) noexcept;

// Sets the setStreamInfo entry (after init).
void fillStreamInfoEntry(SonariInModule& record) noexcept;

// Makes `host` the target of the entries (null: none). Main thread.
void setCallbackTarget(InputPluginHost* host) noexcept;

// The part of a metadata text that fits the control block with its number: at most
// kMaxMetadataText bytes, cut before a UTF-8 sequence that would not fit whole.
std::string_view fittingMetadata(std::string_view text) noexcept;

}  // namespace vexa
