/* Encoder libraries ("enc_*.so" in the program's Plugins folder): what turns PCM into a file
 * format during a conversion. The host tries the libraries in name order; the first whose
 * CreateAudio3 answers an encoder for the wanted output type writes the file.
 *
 * Output types are FOURCCs: four characters stored as a little-endian 32-bit integer, so that
 * the first character is the lowest byte (SONARI_FOURCC('W','A','V',' ')).
 *
 * Threads: ExtAudio3, CreateAudio3 and SetConfigItem come on the host's main thread; encode,
 * PrepareToFinish and FinishAudio3 on the conversion's thread; destroy on the main thread after
 * the conversion has ended. One encoder object is used by one conversion at a time.
 *
 * Order: [ExtAudio3] -> CreateAudio3 -> encode ... -> [PrepareToFinish, encode ...] -> the host
 * closes the file -> [FinishAudio3] -> destroy. No entry throws. */
#ifndef SONARI_ENCODER_H
#define SONARI_ENCODER_H

#include "types.h"

SONARI_EXTERN_C_BEGIN

#define SONARI_FOURCC(a, b, c, d)                                                              \
    ((uint32_t)(uint8_t)(a) | ((uint32_t)(uint8_t)(b) << 8) | ((uint32_t)(uint8_t)(c) << 16) | \
     ((uint32_t)(uint8_t)(d) << 24))

/* The input type every encoder is given: interleaved little-endian PCM. */
#define SONARI_TYPE_PCM SONARI_FOURCC('P', 'C', 'M', ' ')
/* The host's own WAV writer. */
#define SONARI_TYPE_WAV SONARI_FOURCC('W', 'A', 'V', ' ')

typedef struct SonariEncoder SonariEncoder;

/* The encoder object's two operations, in this order. */
typedef struct SonariEncoderOps {
    /* Takes up to inputBytes of PCM (whole sample frames) from input and writes encoded bytes,
     * at most outputCapacity, to output. Sets *inputUsed to the input bytes consumed and answers
     * the output bytes written. The host calls it again with the rest of the input until a call
     * both uses and writes nothing; after PrepareToFinish it calls it with no input until then,
     * to drain what the encoder still holds. framePosition counts the calls for one block of
     * input from 0. A negative answer is an encoding error. */
    int32_t (*encode)(SonariEncoder* self, int32_t framePosition, const void* input,
                      int32_t inputBytes, int32_t* inputUsed, void* output, int32_t outputCapacity);
    /* Frees the object. */
    void (*destroy)(SonariEncoder* self);
} SonariEncoderOps;

/* Every encoder object starts with its operations. */
struct SonariEncoder {
    const SonariEncoderOps* ops;
};

/* Optional: told the server window before each creation attempt. */
typedef void (*SonariExtAudio3)(SonariWindow hostWindow, int32_t reserved1, int32_t reserved2);
/* An encoder for PCM of this format (inputType is SONARI_TYPE_PCM) into *outputType, with the
 * options stored in configFile (an INI file); null when the library does not make that type or
 * cannot open the encoder. */
typedef SonariEncoder* (*SonariCreateAudio3)(int32_t channels, int32_t sampleRate,
                                             int32_t bitsPerSample, uint32_t inputType,
                                             uint32_t* outputType, const char* configFile);
/* Optional: the decoder has reached the end; encode calls without input follow. */
typedef void (*SonariPrepareToFinish)(const char* fileName, SonariEncoder* encoder);
/* Optional: the host has closed fileName; the library may rewrite parts of it (headers,
 * lengths, tags). */
typedef void (*SonariFinishAudio3)(const char* fileName, SonariEncoder* encoder);
/* Stores option item = value for outputType in configFile; nonzero when this library took it
 * (its own type and an item it knows, with a valid value). */
typedef int32_t (*SonariSetConfigItem)(uint32_t outputType, const char* item, const char* value,
                                       const char* configFile);

/* The export names. */
#define SONARI_ENCODER_EXT "ExtAudio3"
#define SONARI_ENCODER_CREATE "CreateAudio3"
#define SONARI_ENCODER_PREPARE_TO_FINISH "PrepareToFinish"
#define SONARI_ENCODER_FINISH "FinishAudio3"
#define SONARI_ENCODER_SET_CONFIG_ITEM "SetConfigItem"

SONARI_EXTERN_C_END

#endif /* SONARI_ENCODER_H */
