/* The burning back end's binary interface: the eight entry points the burn process looks up by
 * name in "PrimoSDK.so" (found in the program's folder), their arguments and answers.
 *
 * Calling order: Init, GetHandle, then per disc NewAudio, AddAudioTrack for every track in
 * order, UnitSpeeds (any time after NewAudio), WriteAudio, RunningStatus until it stops
 * answering PRIMO_RUNNING, CloseAudio. RunningStatus still reports the counts of the last write
 * after CloseAudio. Handles stay valid until the library is unloaded, which ends any write.
 *
 * Threads: any thread, one call at a time per handle; the write runs on the back end's own
 * thread. Every entry point answers a code and never lets an exception or signal out. */
#ifndef PRIMO_PRIMO_SDK_H
#define PRIMO_PRIMO_SDK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Answers. */
#define PRIMO_OK 0u
#define PRIMO_ERROR 1u       /* the call failed (no such handle, drive, file, ...) */
#define PRIMO_INIT_FAILED 3u /* Init: the back end cannot work in this process */
#define PRIMO_RUNNING 10u    /* RunningStatus: the write goes on */

/* NewAudio's unit list: drive letters ending with this value. */
#define PRIMO_UNITS_END 0xFFFFFFFFu

/* WriteAudio flags. */
#define PRIMO_WRITE_TEST 0x80u              /* simulate: nothing is written */
#define PRIMO_WRITE_DISC_AT_ONCE 0x10u      /* the session in one go */
#define PRIMO_WRITE_TRACK_AT_ONCE 0x20u     /* track by track */
#define PRIMO_WRITE_UNDERRUN_PROOF 0x10000u /* the drive's buffer underrun protection */

/* WriteAudio speeds: a multiple of 75 sectors a second, or the drive's own choice. */
#define PRIMO_SPEED_BEST 0xFFFFFFF0u

/* UnitSpeeds flags: the drive can choose its own highest speed. */
#define PRIMO_UNIT_CHOOSES_SPEED 4u

/* RunningStatus actions. */
#define PRIMO_STATUS_QUERY 0x1000000u
#define PRIMO_STATUS_ABORT 0x2000000u

/* Init: `release` receives the back end's release number. */
typedef uint32_t (*PrimoInitFn)(uint32_t* release);
/* A new handle in *handle. */
typedef uint32_t (*PrimoGetHandleFn)(uint32_t* handle);
/* Opens an audio session on the drive whose letter is units[0] (the list ends with
 * PRIMO_UNITS_END); PRIMO_ERROR when the letter names no drive or the drive has no blank disc. */
typedef uint32_t (*PrimoNewAudioFn)(uint32_t handle, const uint32_t* units);
/* Adds a track: a WAV file of 44100 Hz 16-bit stereo PCM, led by `pauseSectors` (75 a second) of
 * silence; *sectors receives the track's length in sectors. */
typedef uint32_t (*PrimoAddAudioTrackFn)(uint32_t handle, const char* file, uint32_t pauseSectors,
                                         uint32_t* sectors);
/* Ends the audio session: a running write is cancelled, the drive released. */
typedef uint32_t (*PrimoCloseAudioFn)(uint32_t handle);
/* Starts writing the session's tracks with PRIMO_WRITE_* flags at `speed`. */
typedef uint32_t (*PrimoWriteAudioFn)(uint32_t handle, uint32_t flags, uint32_t speed);
/* PRIMO_STATUS_QUERY or PRIMO_STATUS_ABORT; *done and *total receive the sectors written and to
 * write. Answers PRIMO_RUNNING, PRIMO_OK (finished, everything written) or PRIMO_ERROR. */
typedef uint32_t (*PrimoRunningStatusFn)(uint32_t handle, uint32_t action, uint32_t* done,
                                         uint32_t* total);
/* The speeds of the drive named by *unit: two tables of 128 bytes (read and write speeds, one
 * multiple a byte, zero-terminated) and PRIMO_UNIT_* flags. */
typedef uint32_t (*PrimoUnitSpeedsFn)(uint32_t handle, const uint32_t* unit, uint8_t* speeds,
                                      uint8_t* writeSpeeds, uint32_t* flags);

uint32_t PrimoSDK_Init(uint32_t* release);
uint32_t PrimoSDK_GetHandle(uint32_t* handle);
uint32_t PrimoSDK_NewAudio(uint32_t handle, const uint32_t* units);
uint32_t PrimoSDK_AddAudioTrack(uint32_t handle, const char* file, uint32_t pauseSectors,
                                uint32_t* sectors);
uint32_t PrimoSDK_CloseAudio(uint32_t handle);
uint32_t PrimoSDK_WriteAudio(uint32_t handle, uint32_t flags, uint32_t speed);
uint32_t PrimoSDK_RunningStatus(uint32_t handle, uint32_t action, uint32_t* done, uint32_t* total);
uint32_t PrimoSDK_UnitSpeeds(uint32_t handle, const uint32_t* unit, uint8_t* speeds,
                             uint8_t* writeSpeeds, uint32_t* flags);

#ifdef __cplusplus
}
#endif

#endif /* PRIMO_PRIMO_SDK_H */
