// The output record of out_qsnd.so: its entries forward to the library's one SoundServerOutput.
#include "plugins/common/output_record.h"
#include "plugins/out_qsnd/sound_server_output.h"

extern "C" SONARI_EXPORT SonariOutModule* sonariGetOutModule(void) {
    return kinvo::plugins::OutputRecord<kinvo::qsnd::SoundServerOutput>::record(
        "Kinvo sound server output");
}
