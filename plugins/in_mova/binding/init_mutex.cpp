#include "plugins/in_mova/binding/init_mutex.h"

#include <unistd.h>

#include <cstdio>

namespace kinvo::in_mova {

std::string initMutexName() {
    char name[64];
    std::snprintf(name, sizeof(name), "QTMLInitTermMutex%lx", static_cast<unsigned long>(getpid()));
    return name;
}

InitMutexHold::InitMutexHold() noexcept {
    if (sonariOpenMutex == nullptr || sonariLockMutex == nullptr || sonariUnlockMutex == nullptr ||
        sonariCloseMutex == nullptr) {
        return;
    }
    try {
        mutex_ = sonariOpenMutex(initMutexName().c_str());
    } catch (...) {
        mutex_ = nullptr;
    }
    if (mutex_ != nullptr) {
        sonariLockMutex(mutex_);
    }
}

InitMutexHold::~InitMutexHold() {
    if (mutex_ != nullptr) {
        sonariUnlockMutex(mutex_);
        sonariCloseMutex(mutex_);
    }
}

}  // namespace kinvo::in_mova
