#include "axserver/download/download_module.h"

#include <optional>

#include "axserver/download/destination_file.h"
#include "axserver/download/download_entry.h"
#include "axserver/download/url_reader.h"
#include "channel/protocol.h"

namespace vexa {

namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kFailed = kStatusFailed;
constexpr int32_t kHttpOk = 200;

// One download at a time in the whole process.
std::atomic<bool> downloadRunning{false};

class RunningGuard {
  public:
    RunningGuard() noexcept : mine_(!downloadRunning.exchange(true)) {}
    ~RunningGuard() {
        if (mine_) {
            downloadRunning.store(false);
        }
    }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;
    bool mine() const noexcept { return mine_; }

  private:
    bool mine_;
};

// Receives the read: checks the status, creates the destination once it is 200, writes blocks.
class DestinationSink final : public ReadSink {
  public:
    DestinationSink(ClientLink& link, const std::string& destinationFile)
        : link_(link), destinationFile_(destinationFile) {}

    bool opened(int32_t status) noexcept override {
        status_ = status;
        if (status != kHttpOk) {
            return false;
        }
        link_.postStatus(kStatusDownloadReceiving, 0);
        if (!file_.create(destinationFile_)) {
            link_.postStatus(kStatusDownloadCannotCreate, 0);
            return false;
        }
        return true;
    }

    bool block(std::span<const char> bytes) noexcept override { return file_.write(bytes); }

    int32_t status() const noexcept { return status_; }
    // Closes the destination (when made); false when its last writes failed.
    bool finish() noexcept { return file_.finish(); }

  private:
    ClientLink& link_;
    const std::string& destinationFile_;
    DestinationFile file_;
    int32_t status_ = 0;
};

using D = DownloadModule;

}  // namespace

DownloadModule::DownloadModule(ClientLink& link) : link_(link) {
    setDownloadTarget(this);
}

DownloadModule::~DownloadModule() {
    closing_.store(true);
    releaseDownloadTarget(this);
}

std::unique_ptr<ServerModule> makeDownloadModule(ServerLink& link, const ServerModules&) {
    return std::make_unique<DownloadModule>(link);
}

std::span<const CommandHandler> DownloadModule::commands() const noexcept {
    static constexpr CommandHandler kRows[] = {on<&D::downloader>(CMD_GET_DOWNLOADER)};
    return kRows;
}

win::LRESULT DownloadModule::downloader(CommandCall&) {
    return reinterpret_cast<win::LRESULT>(downloadEntry());
}

int32_t DownloadModule::download(const std::string& address,
                                 const std::string& destinationFile) noexcept {
    RunningGuard running;
    if (!running.mine()) {
        return kFailed;
    }
    return transfer(address, destinationFile);
}

int32_t DownloadModule::transfer(const std::string& address,
                                 const std::string& destinationFile) noexcept {
    link_.postStatus(kStatusDownloadStarting, 0);
    std::optional<kinvo::curl::Easy> handle;
    if (curl_.ok()) {
        handle.emplace();
    }
    link_.postStatus(kStatusDownloadOpening, 0);
    if (!handle || !*handle) {
        link_.postStatus(kStatusDownloadCannotOpen, 0);
        return kFailed;
    }
    DestinationSink sink(link_, destinationFile);
    const ReadEnd end = readAddress(*handle, address, sink, closing_);
    const bool written = sink.finish();
    switch (end) {
        case ReadEnd::kNotOpened:
            link_.postStatus(kStatusDownloadCannotOpen, 0);
            return kFailed;
        case ReadEnd::kStopped:
            if (sink.status() != kHttpOk) {
                link_.postStatus(kStatusDownloadBadStatus, sink.status());
            }
            return kFailed;
        case ReadEnd::kReadFailed:
            return kFailed;
        case ReadEnd::kComplete:
            if (!written) {
                return kFailed;
            }
            link_.postStatus(kStatusDownloadComplete, 0);
            return kOk;
    }
    return kFailed;
}

}  // namespace vexa
