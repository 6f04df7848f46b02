#pragma once
// The encoders' configuration file: "vexa.ini" in the program folder. Every encoder library call
// that takes a configuration file gets this path. Pure; any thread.
#include <string>
#include <string_view>

namespace vexa {

std::string encoderConfigFile(std::string_view moduleDir);

}  // namespace vexa
