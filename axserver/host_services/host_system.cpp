// The host's system services for its plug-ins (declared in <sonari/host_system.h>): registry
// values from the registry stand-in and the process's named mutexes. Nothing throws out of them.
#include <sonari/host_system.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "platform/named_mutex.h"
#include "platform/registry.h"

// The handle a plug-in holds: one reference to the named mutex.
struct SonariMutex {
    std::shared_ptr<std::recursive_mutex> mutex;
};

extern "C" {

int32_t sonariRegQueryValue(int32_t root, const char* key, const char* name, uint32_t* type,
                            void* data, uint32_t* size) {
    if (key == nullptr || name == nullptr || size == nullptr ||
        (root != SONARI_HKEY_LOCAL_MACHINE && root != SONARI_HKEY_CURRENT_USER)) {
        return SONARI_ERROR_FILE_NOT_FOUND;
    }
    try {
        win::RegValue value;
        const auto rootKey = root == SONARI_HKEY_LOCAL_MACHINE ? win::RootKey::LocalMachine
                                                               : win::RootKey::CurrentUser;
        if (win::Registry::process().queryValue(rootKey, key, name, value) != win::RegStatus::Ok) {
            return SONARI_ERROR_FILE_NOT_FOUND;
        }
        const bool text = value.type == win::RegValue::Type::String;
        const uint32_t needed = text ? static_cast<uint32_t>(value.text.size() + 1) : 4;
        if (type != nullptr) {
            *type = text ? SONARI_REG_SZ : SONARI_REG_DWORD;
        }
        const uint32_t room = *size;
        *size = needed;
        if (data == nullptr) {
            return SONARI_ERROR_SUCCESS;
        }
        if (room < needed) {
            return SONARI_ERROR_MORE_DATA;
        }
        if (text) {
            std::memcpy(data, value.text.c_str(), needed);
        } else {
            std::memcpy(data, &value.number, 4);
        }
        return SONARI_ERROR_SUCCESS;
    } catch (...) {
        return SONARI_ERROR_FILE_NOT_FOUND;
    }
}

SonariMutex* sonariOpenMutex(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    try {
        return new SonariMutex{win::namedMutex(name)};
    } catch (...) {
        return nullptr;
    }
}

void sonariLockMutex(SonariMutex* mutex) {
    if (mutex != nullptr) {
        mutex->mutex->lock();
    }
}

void sonariUnlockMutex(SonariMutex* mutex) {
    if (mutex != nullptr) {
        mutex->mutex->unlock();
    }
}

void sonariCloseMutex(SonariMutex* mutex) {
    delete mutex;
}

}  // extern "C"
