#pragma once
// Fakes for what lies outside the browser: the shell that opens addresses and the wave-out
// device. Both record what they were given and report success.

#include "browser/core/shell_open.h"
#include "browser/core/wave_out.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kinvo::testing {

class RecordingShell : public ShellOpener {
  public:
    bool open(std::string_view target) override {
        opened.emplace_back(target);
        return true;
    }
    std::vector<std::string> opened;
};

class RecordingWaveOut : public WaveOut {
  public:
    bool setVolume(std::uint32_t value) override {
        values.push_back(value);
        return true;
    }
    std::vector<std::uint32_t> values;
};

}  // namespace kinvo::testing
