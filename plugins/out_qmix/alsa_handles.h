#pragma once
// Owners of libasound's handles: an open PCM device (closed once, when it goes) and a block of
// hardware or software parameters. None throws.

#include <alsa/asoundlib.h>

#include <memory>

namespace kinvo::qmix {

struct PcmClose {
    void operator()(snd_pcm_t* pcm) const noexcept { snd_pcm_close(pcm); }
};
struct HwParamsFree {
    void operator()(snd_pcm_hw_params_t* params) const noexcept { snd_pcm_hw_params_free(params); }
};
struct SwParamsFree {
    void operator()(snd_pcm_sw_params_t* params) const noexcept { snd_pcm_sw_params_free(params); }
};

using Pcm = std::unique_ptr<snd_pcm_t, PcmClose>;
using HwParams = std::unique_ptr<snd_pcm_hw_params_t, HwParamsFree>;
using SwParams = std::unique_ptr<snd_pcm_sw_params_t, SwParamsFree>;

}  // namespace kinvo::qmix
