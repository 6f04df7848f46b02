// What the parts of the test input plug-in share: its configuration and its log.
#pragma once

#include <string>

#include "axserver/tests/plugins/plugin_config.h"

namespace testplugin {

extern Config config;
extern Log logFile;

void log(const std::string& text);
void copyText(char* out, size_t size, const std::string& text);
// Runs the configured actions on the plug-in's thread, as after a play of `file`.
void startScript(const std::string& file);

}  // namespace testplugin
