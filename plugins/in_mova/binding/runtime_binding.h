#pragma once
// The binding to the movie runtime "QuickTime.qts": found and loaded at run time
// (runtime_places.h), its three entries taken by name, initialised and terminated by count, and
// every operation passed through its dispatcher (runtimes/qtml/include/qtml/qtml.h).
//
// Order: initialize -> (call, callComponent)* -> terminate; each successful initialize is
// matched by one terminate. The first successful initialize of a binding loads the library and
// runs the runtime's own initialise; later ones only count. The terminate that brings the count
// to 0 runs the runtime's terminate, unbinds and releases the library. Two bindings in one process
// each keep their own count and each initialise the runtime once; the library is shared through
// the loader's reference count.
//
// Threads: initialize and terminate from any thread, serialised by the process-wide named mutex
// (init_mutex.h) and by initLock_; call and callComponent from any thread, and they must not
// overlap the terminate that unbinds.
//
// Error policy: results are the runtime's 16-bit errors sign-extended. QTML_ERR_NO_LIBRARY (-2093)
// when the library is found nowhere, QTML_ERR_NO_ENTRY (-2094) when an entry is missing,
// QTML_ERR_NOT_BOUND (-2095) for any operation while unbound. Nothing throws.

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <type_traits>

#include <qtml/qtml.h>
#include "plugins/in_mova/binding/runtime_places.h"
#include "plugins/in_mova/binding/shared_library.h"

namespace kinvo::in_mova {

class RuntimeBinding {
  public:
    using PlacesSource = RuntimePlaces (*)();

    // places gives the folders to search each time the library is loaded.
    explicit RuntimeBinding(PlacesSource places = discoverRuntimePlaces) noexcept;
    // Unbinds as the last terminate would (the runtime's terminate included) when still bound.
    ~RuntimeBinding();
    RuntimeBinding(const RuntimeBinding&) = delete;
    RuntimeBinding& operator=(const RuntimeBinding&) = delete;

    // 0 on success, else the error (see above, or the runtime's own initialise result).
    int16_t initialize(int32_t flags) noexcept;
    void terminate() noexcept;

    bool bound() const noexcept { return dispatcher_.load() != nullptr; }
    int32_t initCount() const noexcept;
    // The path the library was loaded from; "" while unbound.
    std::string libraryPath() const;

    // One operation: the selector, then its arguments (integers or pointers) in C order.
    template <typename... Args>
    intptr_t call(uint32_t selector, Args... args) const noexcept {
        const QtmlDispatcher dispatcher = dispatcher_.load();
        if (dispatcher == nullptr) {
            return QTML_ERR_NOT_BOUND;
        }
        return dispatcher(selector, toArgument(args)...);
    }

    // A component call (selector QTML_CALL_COMPONENT) with up to 8 parameters.
    intptr_t callComponent(intptr_t instance, int16_t what,
                           std::initializer_list<intptr_t> params) const noexcept;

  private:
    template <typename T>
    static intptr_t toArgument(T value) noexcept {
        if constexpr (std::is_pointer_v<T>) {
            return reinterpret_cast<intptr_t>(value);
        } else {
            return static_cast<intptr_t>(value);
        }
    }
    void unbindLocked() noexcept;

    PlacesSource places_;
    mutable std::mutex initLock_;
    SharedLibrary library_;  // guarded by initLock_
    int32_t initCount_ = 0;  // guarded by initLock_
    std::atomic<QtmlDispatcher> dispatcher_{nullptr};
};

}  // namespace kinvo::in_mova
