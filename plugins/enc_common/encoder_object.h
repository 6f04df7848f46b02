#pragma once
// The SonariEncoder object every encoder plug-in hands out, over an AvEncoder, and the bodies of
// the exports the plug-ins share. Each plug-in's CreateAudio3 checks its own type and builds its
// EncoderSettings, then calls createEncoder.
//
// encode hands out the container's bytes as they are made: bytes already waiting go first (input
// is taken only when nothing waits), then all whole frames of the input are taken at once; after
// PrepareToFinish, a call with nothing waiting and no input drains the encoder and writes the
// trailer, once. A call that neither takes nor writes anything answers 0.
//
// Threads and order are the interface's: encode, prepareToFinish and finishAudio on the
// conversion's thread, destroy after the conversion. Error policy: nothing throws out of these
// functions; an FFmpeg or allocation failure makes that encode and every later one answer -1,
// creation failures answer null.

#include <sonari/encoder.h>

#include <cstdint>

#include "plugins/enc_common/encoder_settings.h"

namespace kinvo::enc {

// An encoder object for PCM input of this format, or null (not PCM, a format the shared encoder
// does not take, or FFmpeg cannot open the encoder).
SonariEncoder* createEncoder(const EncoderSettings& settings, int32_t channels, int32_t sampleRate,
                             int32_t bitsPerSample, uint32_t inputType) noexcept;

// The bodies of PrepareToFinish and FinishAudio3 for an object createEncoder made.
void prepareToFinish(SonariEncoder* encoder) noexcept;
void finishAudio(const char* fileName, SonariEncoder* encoder) noexcept;

}  // namespace kinvo::enc
