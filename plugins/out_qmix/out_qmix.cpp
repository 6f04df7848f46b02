// The output record of out_qmix.so: its entries forward to the library's one AlsaOutput.
#include "plugins/common/output_record.h"
#include "plugins/out_qmix/alsa_output.h"

extern "C" SONARI_EXPORT SonariOutModule* sonariGetOutModule(void) {
    return kinvo::plugins::OutputRecord<kinvo::qmix::AlsaOutput>::record("Kinvo ALSA output");
}
