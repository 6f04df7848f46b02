#pragma once
// Opening a movie by name, for playback or for its information, with the runtime started on the
// first open that needs it (the registry's "Version" first), and stopped again by shutdown.
//
// Threads: the host's main thread only (play, file information, quit). Error policy: open answers
// nullopt on every failure; for playback a missing, unusable or too old runtime also raises its
// event and status (version_rule.h). Nothing throws.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugins/in_mova/binding/runtime_binding.h"
#include "plugins/in_mova/host_link.h"
#include "plugins/in_mova/runtime_objects.h"

namespace kinvo::in_mova {

struct OpenedMovie {
    MoviesEntry entry;  // first in, last out: the movie goes before the toolbox is left
    MovieObject movie;
    std::string title;  // "" when the movie names none
    int32_t lengthMs = -1;
};

class MovieOpener {
  public:
    explicit MovieOpener(RuntimeBinding& runtime) noexcept : runtime_(runtime) {}

    // forPlay: a network address is opened (active and asynchronous), and refusals reach link.
    std::optional<OpenedMovie> open(std::string_view name, bool forPlay, const HostLink& link);
    // Terminates the runtime when an open started it.
    void shutdown() noexcept;
    bool ready() const noexcept { return ready_; }
    // The movie's '\xA9nam' text, at most 255 characters; "" when it has none (yet). Any thread.
    std::string readTitle(intptr_t movie) const;

  private:
    bool ensureRuntime(bool protectedName);

    RuntimeBinding& runtime_;
    bool ready_ = false;
    std::optional<uint32_t> version_;
};

}  // namespace kinvo::in_mova
