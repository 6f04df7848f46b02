/* Basic types and macros shared by every header of the plug-in binary interface.
 *
 * The interface is plain C for x86-64 Linux: integers are 32 bits (int32_t), pointers and entry
 * points are pointer-sized, window handles are 32-bit numbers, entry points use the platform's C
 * calling convention. Texts are zero-terminated byte strings (UTF-8). */
#ifndef SONARI_TYPES_H
#define SONARI_TYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define SONARI_EXTERN_C_BEGIN extern "C" {
#define SONARI_EXTERN_C_END }
#define SONARI_STATIC_ASSERT(cond, text) static_assert(cond, text)
#else
#define SONARI_EXTERN_C_BEGIN
#define SONARI_EXTERN_C_END
#define SONARI_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

/* Marks a function that a plug-in library exports for the host to find by name. */
#define SONARI_EXPORT __attribute__((visibility("default")))

/* A window handle: 0 is none. The host's windows are message-only windows. */
typedef uint32_t SonariWindow;

/* The handle of a loaded library, as the host's library loader gives it. */
typedef void* SonariLibrary;

#if !defined(__x86_64__) || !defined(__LP64__)
#error "the plug-in binary interface is defined for x86-64 Linux"
#endif

#endif /* SONARI_TYPES_H */
