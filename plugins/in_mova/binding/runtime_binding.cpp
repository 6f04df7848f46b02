#include "plugins/in_mova/binding/runtime_binding.h"

#include <algorithm>

#include "plugins/in_mova/binding/init_mutex.h"

namespace kinvo::in_mova {

RuntimeBinding::RuntimeBinding(PlacesSource places) noexcept : places_(places) {}

RuntimeBinding::~RuntimeBinding() {
    const InitMutexHold hold;
    const std::lock_guard lock(initLock_);
    if (initCount_ > 0) {
        call(QTML_TERMINATE);
    }
    unbindLocked();
}

int16_t RuntimeBinding::initialize(int32_t flags) noexcept {
    const InitMutexHold hold;
    const std::lock_guard lock(initLock_);
    if (initCount_ > 0) {
        ++initCount_;
        return 0;
    }
    library_ = loadRuntime(places_ != nullptr ? places_() : RuntimePlaces{});
    if (!library_) {
        return QTML_ERR_NO_LIBRARY;
    }
    // The two component entries are not used here, but a library without them is not the runtime.
    auto* withStorage = library_.symbol(QTML_ENTRY_CALL_WITH_STORAGE);
    auto* callComponent = library_.symbol(QTML_ENTRY_CALL_COMPONENT);
    auto* dispatcher = library_.symbol(QTML_ENTRY_DISPATCHER);
    if (withStorage == nullptr || callComponent == nullptr || dispatcher == nullptr) {
        unbindLocked();
        return QTML_ERR_NO_ENTRY;
    }
    dispatcher_.store(reinterpret_cast<QtmlDispatcher>(dispatcher));
    const auto result = static_cast<int16_t>(call(QTML_INITIALIZE, flags));
    if (result != 0) {
        unbindLocked();
        return result;
    }
    initCount_ = 1;
    return 0;
}

void RuntimeBinding::terminate() noexcept {
    const InitMutexHold hold;
    const std::lock_guard lock(initLock_);
    if (initCount_ > 1) {
        --initCount_;
        return;
    }
    if (initCount_ == 1) {
        call(QTML_TERMINATE);
        unbindLocked();
    }
    initCount_ = 0;
}

int32_t RuntimeBinding::initCount() const noexcept {
    const std::lock_guard lock(initLock_);
    return initCount_;
}

std::string RuntimeBinding::libraryPath() const {
    const std::lock_guard lock(initLock_);
    return library_.path();
}

intptr_t RuntimeBinding::callComponent(intptr_t instance, int16_t what,
                                       std::initializer_list<intptr_t> params) const noexcept {
    QtmlComponentParams block{};
    block.what = what;
    const size_t count = std::min(params.size(), std::size(block.params));
    std::copy_n(params.begin(), count, block.params);
    block.paramSize = static_cast<uint8_t>(count * sizeof(intptr_t));
    return call(QTML_CALL_COMPONENT, instance, &block);
}

void RuntimeBinding::unbindLocked() noexcept {
    dispatcher_.store(nullptr);
    library_ = SharedLibrary();
    initCount_ = 0;
}

}  // namespace kinvo::in_mova
