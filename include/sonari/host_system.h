/* The host's system services for plug-ins: registry values and process-wide named mutexes.
 *
 * Like sonariPostMessage, every function is defined by the host program and declared weak here:
 * a plug-in links and loads without them and must check each for null before calling it. All
 * are safe from any thread. Failures answer as stated; nothing throws or aborts. */
#ifndef SONARI_HOST_SYSTEM_H
#define SONARI_HOST_SYSTEM_H

#include "types.h"

SONARI_EXTERN_C_BEGIN

/* Registry roots and value types. */
#define SONARI_HKEY_LOCAL_MACHINE 0
#define SONARI_HKEY_CURRENT_USER 1
#define SONARI_REG_SZ 1    /* text: the bytes and a terminating zero */
#define SONARI_REG_DWORD 4 /* a 32-bit number, 4 bytes */

#define SONARI_ERROR_SUCCESS 0
#define SONARI_ERROR_FILE_NOT_FOUND 2
#define SONARI_ERROR_MORE_DATA 234

/* Reads the value `name` of `key` ("Software\Vendor\Product") under root. On entry *size is the
 * room at data (data may be null to ask the size); on return *type holds its SONARI_REG_* type
 * and *size the bytes it needs. Answers SONARI_ERROR_SUCCESS, SONARI_ERROR_FILE_NOT_FOUND (no
 * such key or value, or an unreadable hive) or SONARI_ERROR_MORE_DATA (data too small). */
int32_t sonariRegQueryValue(int32_t root, const char* key, const char* name, uint32_t* type,
                            void* data, uint32_t* size) __attribute__((weak));

/* A mutex of the process found by name (made on first use), which the thread that holds it may
 * take again. Null when it cannot be made. */
typedef struct SonariMutex SonariMutex;
SonariMutex* sonariOpenMutex(const char* name) __attribute__((weak));
void sonariLockMutex(SonariMutex* mutex) __attribute__((weak));
void sonariUnlockMutex(SonariMutex* mutex) __attribute__((weak));
void sonariCloseMutex(SonariMutex* mutex) __attribute__((weak));

SONARI_EXTERN_C_END

#endif /* SONARI_HOST_SYSTEM_H */
