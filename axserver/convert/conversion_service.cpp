#include "axserver/convert/conversion_service.h"

#include "axserver/convert/config_file.h"
#include "axserver/pluginlib/plugin_folder.h"

namespace vexa {

ConversionService::ConversionService(InputPluginHost& inputs, ClientLink& client,
                                     const std::string& moduleDir, SonariWindow serverWindow,
                                     bool burnMode)
    : context_{
          inputs,       client,  capture_, pluginFolder(moduleDir), encoderConfigFile(moduleDir),
          serverWindow, burnMode} {}

ConversionService::~ConversionService() {
    endAll();
    for (auto& job : lingering_) {
        job->finishEnd();
    }
}

std::variant<int32_t, std::string> ConversionService::start(ConversionRequest request) noexcept {
    try {
        auto job = std::make_unique<ConversionJob>(std::move(request), context_);
        if (!job->start()) {
            std::string text = job->errorText();
            job.reset();
            return text;
        }
        while (jobs_.count(nextHandle_) != 0 || nextHandle_ <= 0) {
            nextHandle_ = nextHandle_ <= 0 ? 1 : nextHandle_ + 1;
        }
        const int32_t handle = nextHandle_++;
        jobs_.emplace(handle, std::move(job));
        return handle;
    } catch (...) {
        return std::string("Can't open decoder");
    }
}

void ConversionService::end(int32_t handle) noexcept {
    auto it = jobs_.find(handle);
    if (it == jobs_.end()) {
        return;
    }
    std::unique_ptr<ConversionJob> job = std::move(it->second);
    jobs_.erase(it);
    if (!job->end()) {
        try {
            lingering_.push_back(std::move(job));
        } catch (...) {
            job->finishEnd();
        }
    }
}

void ConversionService::endAll() noexcept {
    while (!jobs_.empty()) {
        end(jobs_.begin()->first);
    }
}

bool ConversionService::finished(int32_t handle) const noexcept {
    auto it = jobs_.find(handle);
    return it != jobs_.end() && it->second->finished();
}

std::pair<int64_t, int64_t> ConversionService::progressOf(int32_t handle) const noexcept {
    auto it = jobs_.find(handle);
    if (it == jobs_.end() || !it->second->finished()) {
        return {0, 0};
    }
    return {it->second->processedBytes(), it->second->expectedBytes()};
}

std::string ConversionService::destinationOf(int32_t handle) const {
    auto it = jobs_.find(handle);
    return it == jobs_.end() ? std::string() : it->second->destination();
}

bool ConversionService::setEncoderItem(uint32_t outputType, const std::string& item,
                                       const std::string& value) noexcept {
    return vexa::setEncoderItem(context_.pluginFolder, outputType, item, value,
                                context_.configFile);
}

}  // namespace vexa
