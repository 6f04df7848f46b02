#pragma once
// Move-only owners of the runtime's objects: each releases its object through the binding with
// the runtime's own release operation when it goes. The binding must outlive them. The thread
// rules are the runtime's (any thread); an owner itself is used by one thread at a time.

#include <utility>

#include "plugins/in_mova/binding/runtime_binding.h"

namespace kinvo::in_mova {

template <uint32_t ReleaseSelector>
class RuntimeObject {
  public:
    RuntimeObject() noexcept = default;
    explicit RuntimeObject(const RuntimeBinding& runtime) noexcept : runtime_(&runtime) {}
    RuntimeObject(const RuntimeBinding& runtime, intptr_t value) noexcept
        : runtime_(&runtime), value_(value) {}
    RuntimeObject(RuntimeObject&& other) noexcept
        : runtime_(other.runtime_), value_(std::exchange(other.value_, 0)) {}
    RuntimeObject& operator=(RuntimeObject&& other) noexcept {
        if (this != &other) {
            reset();
            runtime_ = other.runtime_;
            value_ = std::exchange(other.value_, 0);
        }
        return *this;
    }
    RuntimeObject(const RuntimeObject&) = delete;
    RuntimeObject& operator=(const RuntimeObject&) = delete;
    ~RuntimeObject() { reset(); }

    intptr_t get() const noexcept { return value_; }
    // Where an operation that makes or changes the object writes it.
    intptr_t* out() noexcept { return &value_; }
    explicit operator bool() const noexcept { return value_ != 0; }
    void reset() noexcept {
        if (value_ != 0 && runtime_ != nullptr) {
            runtime_->call(ReleaseSelector, value_);
        }
        value_ = 0;
    }

  private:
    const RuntimeBinding* runtime_ = nullptr;
    intptr_t value_ = 0;
};

using MovieObject = RuntimeObject<QTML_DISPOSE_MOVIE>;
using ControllerObject = RuntimeObject<QTML_DISPOSE_CONTROLLER>;
using BufferObject = RuntimeObject<QTML_DISPOSE_BUFFER>;
using HandleObject = RuntimeObject<QTML_DISPOSE_HANDLE>;

// The movie toolbox entered: left when the owner goes.
class MoviesEntry {
  public:
    MoviesEntry() noexcept = default;
    // Enters; an empty owner when the runtime refuses.
    static MoviesEntry enter(const RuntimeBinding& runtime) noexcept {
        MoviesEntry entry;
        if (runtime.call(QTML_ENTER_MOVIES) == 0) {
            entry.runtime_ = &runtime;
        }
        return entry;
    }
    MoviesEntry(MoviesEntry&& other) noexcept : runtime_(std::exchange(other.runtime_, nullptr)) {}
    MoviesEntry& operator=(MoviesEntry&& other) noexcept {
        if (this != &other) {
            leave();
            runtime_ = std::exchange(other.runtime_, nullptr);
        }
        return *this;
    }
    MoviesEntry(const MoviesEntry&) = delete;
    MoviesEntry& operator=(const MoviesEntry&) = delete;
    ~MoviesEntry() { leave(); }

    explicit operator bool() const noexcept { return runtime_ != nullptr; }
    void leave() noexcept {
        if (runtime_ != nullptr) {
            runtime_->call(QTML_EXIT_MOVIES);
            runtime_ = nullptr;
        }
    }

  private:
    const RuntimeBinding* runtime_ = nullptr;
};

}  // namespace kinvo::in_mova
