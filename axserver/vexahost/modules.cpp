#include "axserver/vexahost/modules.h"

#include "axserver/burn/burn_mode.h"
#include "axserver/burn/burn_requests.h"
#include "axserver/convert/convert_module.h"
#include "axserver/download/download_module.h"
#include "axserver/inputs/input_host_module.h"
#include "axserver/outputs/output_host_module.h"
#include "axserver/playback/playback_module.h"
#include "axserver/playlist/playlist_module.h"
#include "axserver/video/video_module.h"

namespace vexa {

namespace {

// vexahost's modules, made in this order (a module may use those above it) and destroyed in the
// reverse order. A new module is one row here; its commands come from its own rows.
constexpr ModuleMaker kModules[] = {
    &makeOutputHostModule, &makeInputHostModule,    &makeDownloadModule,
    &makePlaylistModule,   &makeVideoModule,        &makePlaybackModule,
    &makeConvertModule,    &makeBurnRequestsModule, &makeBurnModeModule,
};

}  // namespace

ServerModules makeServerModules(ServerLink& link) {
    ServerModules modules;
    for (ModuleMaker make : kModules) {
        modules.add(make(link, modules));
    }
    return modules;
}

}  // namespace vexa
