#include "axserver/burn/burn_mode.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "axserver/burn/burn_list_file.h"
#include "axserver/burn/burn_process.h"
#include "axserver/burn/texts.h"
#include "axserver/convert/conversion_service.h"
#include "axserver/inputs/input_host_module.h"
#include "axserver/playlist/m3u_reader.h"
#include "platform/temp_files.h"

namespace vexa {

namespace {

constexpr uint32_t kWavType = 0x20564157;  // "WAV "

class ServiceConverter final : public TrackConverter {
  public:
    explicit ServiceConverter(ConversionService& service) : service_(service) {}
    std::variant<int32_t, std::string> start(const std::string& source,
                                             const std::string& destination,
                                             win::HWND notifyWindow) noexcept override {
        ConversionRequest request;
        request.source = source;
        request.destination = destination;
        request.outputType = kWavType;
        request.wav = {44100, 16, 2};
        request.notifyWindow = notifyWindow;
        return service_.start(std::move(request));
    }
    int64_t decodedBytes(int32_t handle) const noexcept override {
        return service_.progressOf(handle).first;
    }
    void end(int32_t handle) noexcept override { service_.end(handle); }

  private:
    ConversionService& service_;
};

std::vector<BurnEntry> loadEntries(const std::string& listFile, InputPluginHost& inputs) {
    std::vector<BurnEntry> entries;
    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(listFile.c_str(), "r"));
    if (!file) {
        return entries;
    }
    playlist::M3uParser parser;
    std::string line;
    playlist::LineRead read;
    while ((read = playlist::readLine(file.get(), line)) != playlist::LineRead::kEnd) {
        if (read == playlist::LineRead::kTooLong) {
            parser.skippedLine();
            continue;
        }
        auto entry = parser.line(line);
        if (!entry) {
            continue;
        }
        BurnEntry burn{entry->name, entry->title, std::max(entry->seconds, 0)};
        std::string title;
        int32_t lengthMs = 0;
        if ((burn.title.empty() || entry->seconds < 0) &&
            inputs.fileInfo(burn.file, title, lengthMs)) {
            if (burn.title.empty()) {
                burn.title = title;
            }
            if (entry->seconds < 0) {
                burn.seconds = std::max(lengthMs, 0) / 1000;
            }
        }
        entries.push_back(std::move(burn));
    }
    return entries;
}

}  // namespace

BurnModeModule::BurnModeModule(ServerLink& link, InputPluginHost& inputs)
    : link_(link), inputs_(inputs) {}

void BurnModeModule::run(const std::string& text) noexcept {
    try {
        auto arguments = parseBurnArguments(text);
        if (!arguments) {
            return;
        }
        BurnSetup setup;
        setup.arguments = *arguments;
        setup.entries = loadEntries(arguments->listFile, inputs_);
        if (setup.entries.size() > kMaxDiscTracks) {
            setup.entries.resize(kMaxDiscTracks);
        }
        setup.pauses = readBurnNumbers(arguments->listFile, setup.entries.size());
        ::unlink(arguments->listFile.c_str());
        if (setup.entries.empty()) {
            return;
        }
        setup.tempPrefix =
            win::tempFolder() + burn_texts::kTempPrefix + std::string(1, arguments->drive) + "_";
        setup.burnerLibrary = burn_texts::kBurnerLibrary;
        ConversionService service(inputs_, link_, link_.moduleDir(), 0, true);
        ServiceConverter converter(service);
        BurnProcess process(std::move(setup), converter);
        process.run();
    } catch (...) {
        return;  // out of memory before the window: nothing was started
    }
}

std::unique_ptr<ServerModule> makeBurnModeModule(ServerLink& link, const ServerModules& made) {
    auto* inputs = made.find<InputHostModule>();
    if (inputs == nullptr) {
        return nullptr;
    }
    return std::make_unique<BurnModeModule>(link, inputs->plugins());
}

}  // namespace vexa
