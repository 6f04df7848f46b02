#include "axserver/convert/conversion_job.h"

#include <chrono>
#include <cstdio>

#include "axserver/convert/texts.h"
#include "axserver/convert/wav_name.h"

namespace vexa {

namespace {

using namespace std::chrono_literals;

constexpr int32_t kReadBlockBytes = 0x8000;
constexpr auto kWorkerWait = 20000ms;
constexpr int kOpenWaitSteps = 500;
constexpr auto kOpenWaitStep = 10ms;

static_assert(sizeof(std::atomic<int32_t>) == sizeof(int32_t) &&
                  std::atomic<int32_t>::is_always_lock_free,
              "the stop flag is handed to decoders as a plain 32-bit integer");

}  // namespace

ConversionJob::ConversionJob(ConversionRequest request, ConversionContext& context) noexcept
    : request_(std::move(request)), context_(context) {}

ConversionJob::~ConversionJob() {
    end();
    finishEnd();
}

bool ConversionJob::fail(const char* text) noexcept {
    errorText_ = text;
    return false;
}

bool ConversionJob::start() noexcept {
    try {
        InputPluginHost& inputs = context_.inputs;
        const auto& records = inputs.plugins();
        SonariInModule* first = nullptr;
        for (int i = inputs.findPluginFrom(request_.source, 0); i >= 0;
             i = inputs.findPluginFrom(request_.source, i + 1)) {
            SonariInModule* module = records[static_cast<size_t>(i)];
            if (first == nullptr) {
                first = module;
            }
            if (auto entries = extendedReadOf(module->libraryHandle)) {
                return startExtendedRead(module, *entries);
            }
        }
        if (first == nullptr) {
            return fail(kNoDecoder);
        }
        if (!context_.burnMode) {
            return fail(kNoExtendedRead);
        }
        return startPlayPath(first);
    } catch (...) {
        return fail(kDecoderOpenFailed);
    }
}

bool ConversionJob::prepareOutput() {
    if (request_.outputType != SONARI_TYPE_PCM) {
        EncoderRequest wanted{decoded_,
                              request_.outputType,
                              request_.wav,
                              context_.pluginFolder,
                              context_.configFile,
                              context_.serverWindow};
        encoder_ = chooseEncoder(wanted);
        if (!encoder_) {
            return fail(kNoEncoder);
        }
    }
    if (request_.outputType == SONARI_TYPE_WAV && !context_.burnMode) {
        request_.destination = wavDestinationName(request_.destination);
    }
    if (sameFile(request_.source, request_.destination)) {
        encoder_.reset();
        return fail(kDestinationIsSource);
    }
    auto file = OutputFile::create(request_.destination);
    if (!file) {
        encoder_.reset();
        return fail(kDestinationOpenFailed);
    }
    output_.emplace(std::move(*file), encoder_ ? &*encoder_ : nullptr, request_.destination);
    return true;
}

bool ConversionJob::startExtendedRead(SonariInModule*, const ExtendedReadEntries& entries) {
    int32_t total = 0;
    int32_t bits = 0;
    int32_t channels = 0;
    int32_t rate = 0;
    readHandle_ = entries.open(request_.source.c_str(), &total, &bits, &channels, &rate);
    if (readHandle_ == 0) {
        const char* text = entries.lastError != nullptr ? entries.lastError() : nullptr;
        errorText_ = text != nullptr && *text != '\0' ? text : kDecoderOpenFailed;
        return false;
    }
    read_ = entries;
    totalBytes_ = total;
    decoded_ = {rate, bits, channels};
    if (rate <= 0 || channels <= 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        fail(kDecoderOpenFailed);
    } else if (prepareOutput()) {
        progress_.emplace(request_.notifyWindow, &context_.client, totalBytes_);
        worker_ = std::thread([this] { runWorker(); });
        return true;
    }
    entries.close(readHandle_);
    readHandle_ = 0;
    return false;
}

void ConversionJob::runWorker() noexcept {
    static thread_local char block[kReadBlockBytes];
    const auto* stop = reinterpret_cast<const volatile int32_t*>(&stopFlag_);
    bool ended = false;
    bool ok = true;
    while (stopFlag_.load() == 0) {
        const int32_t n = read_->getData(readHandle_, block, kReadBlockBytes, stop);
        if (n <= 0) {
            ended = n == 0;
            ok = n == 0;
            break;
        }
        if (!output_->write(block, n)) {
            ok = false;
            break;
        }
        progress_->add(n);
    }
    complete(ended && ok);
    read_->close(readHandle_);
    readHandle_ = 0;
    {
        std::lock_guard lock(workerMutex_);
        workerDone_ = true;
    }
    workerFinished_.notify_all();
}

void ConversionJob::complete(bool decoderEnded) noexcept {
    if (completed_.exchange(true)) {
        return;
    }
    const bool stopped = stopFlag_.load() != 0;
    const bool ok = output_->finish(decoderEnded && !stopped) && decoderEnded && !stopped;
    if (ok) {
        finished_ = true;
        progress_->finished();
        return;
    }
    removeDestination(request_.destination);
    if (!stopped) {
        progress_->failed();
    }
}

bool ConversionJob::startPlayPath(SonariInModule* module) {
    if ((module->flags & SONARI_IN_USES_OUTPUT) == 0 || module->play == nullptr ||
        module->stop == nullptr) {
        return fail(kCannotDecodeForBurn);
    }
    if (!context_.capture.attach(this)) {
        return fail(kPlayPathBusy);
    }
    playModule_ = module;
    module->outputModule = dummyOutput();
    if (module->play(request_.source.c_str()) != 0) {
        playStopped_ = true;
        releaseEnded();
        return fail(kPlayFailed);
    }
    for (int i = 0; i < kOpenWaitSteps && !context_.capture.opened(); ++i) {
        std::this_thread::sleep_for(kOpenWaitStep);
    }
    bool ready = context_.capture.opened() || fail(kCannotDecodeForBurn);
    if (ready) {
        decoded_ = {context_.capture.sampleRate(), context_.capture.bitsPerSample(),
                    context_.capture.channels()};
        const int64_t length = module->getLength != nullptr ? module->getLength() : 0;
        totalBytes_ = static_cast<int64_t>(decoded_.bitsPerSample / 8) * length *
                      decoded_.sampleRate * decoded_.channels / 1000;
        ready = prepareOutput();
    }
    if (!ready) {
        abandoned_ = true;
        releaseEnded();
        return false;
    }
    progress_.emplace(request_.notifyWindow, nullptr, totalBytes_);
    window_ = std::make_unique<ConversionWindow>([this] { decoderEnded(); });
    if (window_->handle() != 0) {
        module->hostWindow = window_->handle();
    }
    started_ = true;
    return true;
}

void ConversionJob::decoderEnded() noexcept {
    if (playModule_ != nullptr && !playStopped_) {
        playStopped_ = true;
        playModule_->stop();  // the decoder closes the capture: the job completes
    }
}

int32_t ConversionJob::write(const char* buffer, int32_t byteCount) noexcept {
    while (!started_.load() && !abandoned_.load()) {
        std::this_thread::sleep_for(kOpenWaitStep);
    }
    if (abandoned_.load() || completed_.load() || byteCount <= 0) {
        return 0;
    }
    output_->write(buffer, byteCount);
    progress_->add(byteCount);
    return 0;
}

void ConversionJob::close() noexcept {
    if (started_.load() && !abandoned_.load()) {
        complete(true);
    }
}

void ConversionJob::releaseEnded() noexcept {
    if (playModule_ == nullptr) {
        return;
    }
    if (!playStopped_) {
        playStopped_ = true;
        playModule_->stop();
    }
    window_.reset();
    playModule_->hostWindow = context_.serverWindow;
    context_.capture.detach();
    playModule_ = nullptr;
}

bool ConversionJob::end() noexcept {
    if (ended_) {
        return true;
    }
    ended_ = true;
    stopFlag_ = 1;
    if (worker_.joinable()) {
        std::unique_lock lock(workerMutex_);
        if (!workerFinished_.wait_for(lock, kWorkerWait, [this] { return workerDone_; })) {
            return false;
        }
    }
    finishEnd();
    return true;
}

void ConversionJob::finishEnd() noexcept {
    if (worker_.joinable()) {
        worker_.join();
    }
    const bool playPath = playModule_ != nullptr;
    releaseEnded();
    abandoned_ = true;
    if (playPath && output_ && !completed_.load()) {
        complete(false);  // the decoder never closed its output
    }
    output_.reset();
    encoder_.reset();
}

}  // namespace vexa
