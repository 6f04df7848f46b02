#include "plugins/in_mova/movie_opener.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "plugins/in_mova/binding/host_registry.h"
#include "plugins/in_mova/movie_time.h"
#include "plugins/in_mova/names.h"
#include "plugins/in_mova/version_rule.h"

namespace kinvo::in_mova {

namespace {

constexpr size_t kTitleMax = 255;
constexpr int32_t kOpenForPlay = QTML_NEW_MOVIE_ACTIVE | QTML_NEW_MOVIE_ASYNC;

char* bytesOf(const HandleObject& handle) {
    return *reinterpret_cast<QtmlHandle>(handle.get());
}

}  // namespace

bool MovieOpener::ensureRuntime(bool protectedName) {
    if (ready_ && versionAccepted(version_, protectedName)) {
        return true;
    }
    version_ = readRegistryNumber(SONARI_HKEY_LOCAL_MACHINE, kRuntimeKey, "Version");
    if (!versionAccepted(version_, protectedName)) {
        return false;
    }
    // A runtime started before stays started: starting it again would count once more than
    // shutdown terminates.
    if (!ready_) {
        ready_ = runtime_.initialize(0) == 0;
    }
    return ready_;
}

std::optional<OpenedMovie> MovieOpener::open(std::string_view name, bool forPlay,
                                             const HostLink& link) {
    const bool protectedName = isProtectedName(name);
    if (!ensureRuntime(protectedName)) {
        if (forPlay) {
            const auto refusal = runtimeRefusal(protectedName);
            link.event(refusal.event);
            link.status(refusal.status, 0);
        }
        return std::nullopt;
    }
    if (protectedName && !forPlay) {
        return std::nullopt;
    }
    const auto address = movieAddress(name, forPlay);
    if (!address) {
        return std::nullopt;
    }
    OpenedMovie opened;
    opened.entry = MoviesEntry::enter(runtime_);
    if (!opened.entry) {
        return std::nullopt;
    }
    {
        const auto size = static_cast<intptr_t>(address->size() + 1);
        HandleObject text(runtime_, runtime_.call(QTML_NEW_HANDLE, size));
        if (!text || runtime_.call(QTML_MEM_ERROR) != 0 || bytesOf(text) == nullptr) {
            return std::nullopt;
        }
        runtime_.call(QTML_COPY_BYTES, address->c_str(), bytesOf(text), size);
        MovieObject movie(runtime_);
        const intptr_t error =
            runtime_.call(QTML_NEW_MOVIE_FROM_REF, movie.out(), forPlay ? kOpenForPlay : 0, 0,
                          text.get(), QTML_REF_URL);
        if (error != 0 || !movie) {
            return std::nullopt;
        }
        opened.movie = std::move(movie);
    }
    const intptr_t movie = opened.movie.get();
    opened.title = readTitle(movie);
    opened.lengthMs = lengthMs(runtime_.call(QTML_DURATION, movie),
                               static_cast<int32_t>(runtime_.call(QTML_TIME_SCALE, movie)));
    if (protectedName && forPlay && runtime_.call(QTML_MOVIES_ERROR) != 0) {
        runtime_.call(QTML_CLEAR_MOVIES_ERROR);
    }
    return opened;
}

std::string MovieOpener::readTitle(intptr_t movie) const {
    const intptr_t userData = runtime_.call(QTML_USER_DATA, movie);
    if (userData == 0 || userData == QTML_ERR_NOT_BOUND) {
        return {};
    }
    HandleObject text(runtime_, runtime_.call(QTML_NEW_HANDLE, 0));
    if (!text ||
        runtime_.call(QTML_USER_DATA_TEXT, userData, text.get(), QTML_TEXT_NAME, 1, 0) != 0 ||
        bytesOf(text) == nullptr) {
        return {};
    }
    const auto size = std::clamp<intptr_t>(runtime_.call(QTML_HANDLE_SIZE, text.get()), 0,
                                           static_cast<intptr_t>(kTitleMax));
    std::vector<char> bytes(static_cast<size_t>(size) + 1, '\0');
    runtime_.call(QTML_COPY_BYTES, bytesOf(text), bytes.data(), size);
    return std::string(bytes.data(), strnlen(bytes.data(), static_cast<size_t>(size)));
}

void MovieOpener::shutdown() noexcept {
    if (ready_) {
        runtime_.terminate();
        ready_ = false;
    }
}

}  // namespace kinvo::in_mova
