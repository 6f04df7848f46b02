// A program folder with test plug-ins and both hosts over it, loaded as vexahost loads them.
#pragma once

#include <string>
#include <vector>

#include "axserver/inputs/input_plugin_host.h"
#include "axserver/inputs/tests/recording_client.h"
#include "axserver/outputs/output_plugin_host.h"
#include "axserver/tests/plugins/fixture/program_folder.h"

namespace vexa::testing {

inline constexpr SonariWindow kServerWindow = 0x40004321;

struct Hosts {
    ProgramFolder folder;
    RecordingClient client;
    OutputPluginHost outputs;
    InputPluginHost inputs{client, outputs};

    void load() {
        inputs.loadAll(folder.path(), kServerWindow);
        outputs.loadAll(folder.path(), kServerWindow);
    }
    void unload() {
        inputs.unloadAll();
        outputs.unloadAll();
    }
    ~Hosts() { unload(); }

    // The file name of a loaded record (by its description "Test input <file>").
    static std::string fileOf(const SonariInModule* record) {
        if (record == nullptr) {
            return "none";
        }
        std::string text = record->description;
        auto space = text.rfind(' ');
        return space == std::string::npos ? text : text.substr(space + 1);
    }
    std::vector<std::string> log(const std::string& fileName) const {
        return folder.pluginLog(fileName);
    }
};

}  // namespace vexa::testing
