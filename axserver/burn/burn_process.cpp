#include "axserver/burn/burn_process.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <thread>

#include "axserver/burn/burn_rules.h"
#include "axserver/burn/texts.h"
#include "channel/protocol.h"
#include "platform/debug_trace.h"
#include "platform/messages.h"

namespace vexa {

namespace {

constexpr std::uintptr_t kTimerId = 0x123;
constexpr win::UINT kTimerMs = 100;
constexpr win::UINT kConvertMessage = 0x400;
constexpr win::LPARAM kConversionFinished = 605;
constexpr win::LPARAM kConversionProgress = 604;
constexpr uint32_t kLeadInSectors = 4000;
constexpr auto kReportPeriod = std::chrono::seconds(1);

win::LRESULT burnWindowProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                            win::LPARAM lParam) {
    auto* process = reinterpret_cast<BurnProcess*>(win::getWindowUserData(hwnd));
    if (process == nullptr) {
        return win::defWindowProc(hwnd, message, wParam, lParam);
    }
    return process->handleMessage(hwnd, message, wParam, lParam);
}

std::string format(const char* pattern, auto... values) {
    char text[1024];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string clockText(const char* pattern, int64_t ms) {
    const int64_t s = std::max<int64_t>(ms, 0) / 1000;
    return format(pattern, static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60),
                  static_cast<int>(s % 60));
}

}  // namespace

BurnProcess::BurnProcess(BurnSetup setup, TrackConverter& converter)
    : setup_(std::move(setup)),
      converter_(converter),
      trackCount_(static_cast<int32_t>(setup_.entries.size())),
      serverWindow_(static_cast<win::HWND>(setup_.arguments.numbers[4])) {}

BurnProcess::~BurnProcess() {
    if (window_ != 0 && win::isWindow(window_)) {
        win::destroyWindow(window_);
    }
}

std::string BurnProcess::trackFile(int32_t number) const {
    return format(burn_texts::kTrackFile, setup_.tempPrefix.c_str(), number);
}

bool BurnProcess::create() noexcept {
    // A second burn window in one process (tests) finds the class registered already.
    win::registerClass({burn_texts::kBurnWindowClass, win::CS_DBLCLKS, &burnWindowProc, 1});
    window_ = win::createWindow(burn_texts::kBurnWindowClass, "");
    if (window_ == 0) {
        return false;
    }
    win::setWindowUserData(window_, reinterpret_cast<win::LPARAM>(this));
    started_ = Clock::now();
    lastTimes_ = started_;
    setTitle(0);
    win::setTimer(window_, kTimerId, kTimerMs);
    burnPercent_ = 0;
    postServer(0, 0);
    if (win::isWindow(serverWindow_)) {
        win::postMessage(
            serverWindow_, SRV_BURN_WINDOW,
            static_cast<win::WPARAM>(static_cast<uint32_t>(setup_.arguments.numbers[5])), window_);
    }
    return true;
}

void BurnProcess::run() noexcept {
    if (!create()) {
        return;
    }
    win::MSG msg;
    while (win::isWindow(window_) && win::getMessage(msg, 0, 0, 0) > 0) {
        win::dispatchMessage(msg);
    }
}

win::LRESULT BurnProcess::handleMessage(win::HWND hwnd, win::UINT message, win::WPARAM wParam,
                                        win::LPARAM lParam) noexcept {
    switch (message) {
        case win::WM_TIMER:
            if (wParam == kTimerId) {
                tick();
            }
            return 0;
        case kConvertMessage:
            if (lParam == kConversionFinished) {
                conversionFinished();
            } else if (lParam == kConversionProgress && phase_ == kConverting) {
                postProgress(0, 5, static_cast<win::LPARAM>(std::min<win::WPARAM>(wParam, 100)));
            }
            return 0;
        case kBurnQuery:
            return query(lParam);
        case win::WM_CLOSE:
            return 0;
        case win::WM_DESTROY:
            destroyed();
            return 0;
        default:
            return win::defWindowProc(hwnd, message, wParam, lParam);
    }
}

void BurnProcess::tick() noexcept {
    switch (phase_) {
        case kConvertNext:
            convertNext();
            break;
        case kStartBurner:
            startBurner();
            break;
        case kBurning:
            followBurn();
            break;
        case kBurned:
            reportEnd();
            return;
        default:
            break;
    }
    if (phase_ != kFailed && phase_ != kDone && Clock::now() - lastTimes_ >= kReportPeriod) {
        lastTimes_ = Clock::now();
        updateTimes();
    }
}

void BurnProcess::convertNext() noexcept {
    const BurnEntry& entry = setup_.entries[static_cast<size_t>(index_)];
    postServer(1, index_);
    statusText_ = format(burn_texts::kPreparing, index_ + 1, trackCount_, entry.title.c_str());
    auto started = converter_.start(entry.file, trackFile(index_ + 1), window_);
    if (auto* text = std::get_if<std::string>(&started)) {
        fail(*text);
        return;
    }
    job_ = std::get<int32_t>(started);
    phase_ = kConverting;
}

void BurnProcess::conversionFinished() noexcept {
    if (phase_ != kConverting || job_ == 0) {
        return;
    }
    decodedBytes_ += converter_.decodedBytes(job_);
    converter_.end(job_);
    job_ = 0;
    ++index_;
    phase_ = index_ >= trackCount_ ? kStartBurner : kConvertNext;
}

void BurnProcess::startBurner() noexcept {
    postServer(2, 0);
    statusText_ = burn_texts::kConverted;
    auto loaded = BurnerLibrary::load(setup_.burnerLibrary);
    if (auto* text = std::get_if<const char*>(&loaded)) {
        fail(*text);
        return;
    }
    burner_.emplace(std::move(std::get<BurnerLibrary>(loaded)));
    const BurnerEntries& b = burner_->entries();
    uint32_t release = 0;
    const uint32_t initialised = b.init(&release);
    if (initialised == 2 || initialised == 3) {
        fail(burn_texts::kCantInit);
        return;
    }
    if (b.getHandle(&session_) != 0) {
        fail(burn_texts::kNoHandle);
        return;
    }
    const uint32_t letter = static_cast<unsigned char>(setup_.arguments.drive);
    const uint32_t units[] = {letter, 0xFFFFFFFFu};
    if (b.newAudio(session_, units) != 0) {
        fail(burn_texts::kNoSession);
        return;
    }
    sessionOpen_ = true;
    statusText_ = burn_texts::kBurning;
    for (int32_t number = 1; number <= trackCount_; ++number) {
        uint32_t unused = 0;
        const auto pause = static_cast<uint32_t>(setup_.pauses[static_cast<size_t>(number - 1)]);
        if (b.addAudioTrack(session_, trackFile(number).c_str(), pause * 75, &unused) != 0) {
            closeAudio();
            fail(burn_texts::kCantAdd);
            return;
        }
    }
    uint8_t speeds[128] = {};
    uint8_t writeSpeeds[128] = {};
    uint32_t unitFlags = 0;
    b.unitSpeeds(session_, &letter, speeds, writeSpeeds, &unitFlags);
    const auto& n = setup_.arguments.numbers;
    if (b.writeAudio(session_, burnWriteFlags(n[0], n[1], n[3]), burnSpeed(n[2], unitFlags)) != 0) {
        closeAudio();
        fail(burn_texts::kCantStart);
        return;
    }
    phase_ = kBurning;
    burnPercent_ = 0;
    burnerRunning_ = true;
    burnStarted_ = Clock::now();
}

void BurnProcess::followBurn() noexcept {
    uint32_t done = 0;
    uint32_t total = 0;
    const uint32_t answer =
        burner_->entries().runningStatus(session_, PRIMO_STATUS_QUERY, &done, &total);
    if (answer == PRIMO_RUNNING) {
        const int32_t percent = burnPercent(done, total);
        burnedSeconds_ = burnedSeconds(done);
        burnPercent_ = percent;
        if (done >= kLeadInSectors && !leadInEnded_) {
            leadInEnded_ = Clock::now();
            leadInSectors_ = done;
        }
        if (percent >= 100 && !fullAt_) {
            fullAt_ = Clock::now();
        }
        if (Clock::now() - lastReport_[1] >= kReportPeriod) {
            lastReport_[1] = Clock::now();
            postServer(2, percent);
            statusText_ = done < kLeadInSectors
                              ? (done == 0 ? burn_texts::kInitializingBurner : burn_texts::kLeadIn)
                          : percent >= 100 ? burn_texts::kClosingDisc
                                           : format(burn_texts::kBurnPercent, percent);
        }
        setTitle(50 + percent / 2);
    } else if (answer == PRIMO_OK) {
        phase_ = kBurned;
        closeAudio();
    } else {
        closeAudio();
        fail(burn_texts::kBurnError);
    }
}

void BurnProcess::reportEnd() noexcept {
    phase_ = kDone;
    burnerRunning_ = false;
    win::destroyWindow(window_);
    uint32_t done = 0;
    uint32_t total = 0;
    burner_->entries().runningStatus(session_, PRIMO_STATUS_QUERY, &done, &total);
    postServer(done == total ? 3 : 4, 0);
}

void BurnProcess::fail(const std::string& text) noexcept {
    phase_ = kFailed;
    statusText_ = text;
    if (win::debugTraceEnabled()) {
        win::debugTrace("vexahost burn: " + text + "\n");
    }
    win::destroyWindow(window_);
    postServer(4, 0);
}

void BurnProcess::abort() noexcept {
    if (burnerRunning_ && burner_) {
        win::killTimer(window_, kTimerId);
        const BurnerEntries& b = burner_->entries();
        uint32_t done = 0;
        uint32_t total = 0;
        b.runningStatus(session_, PRIMO_STATUS_ABORT, &done, &total);
        while (b.runningStatus(session_, PRIMO_STATUS_QUERY, &done, &total) == PRIMO_RUNNING) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        closeAudio();
        burnerRunning_ = false;
    }
    win::destroyWindow(window_);
}

void BurnProcess::closeAudio() noexcept {
    if (sessionOpen_ && burner_) {
        burner_->entries().closeAudio(session_);
        sessionOpen_ = false;
    }
}

void BurnProcess::destroyed() noexcept {
    win::killTimer(window_, kTimerId);
    if (job_ != 0) {
        converter_.end(job_);
        job_ = 0;
    }
    for (int32_t number = 1; number <= trackCount_; ++number) {
        ::unlink(trackFile(number).c_str());
    }
}

win::LRESULT BurnProcess::query(win::LPARAM what) noexcept {
    uint32_t answer = 0;
    switch (what) {
        case kQueryStatusWord:
            if (phase_ < kStartBurner) {
                answer = convertStatusWord(index_);
            } else if (!burnerRunning_) {
                answer = kBurnerNotRunning;
            } else {
                std::vector<int32_t> lengths;
                for (const BurnEntry& entry : setup_.entries) {
                    lengths.push_back(entry.seconds);
                }
                answer = burnStatusWord(burnedSeconds_, lengths, burnPercent_, trackPercent_);
            }
            break;
        case kQueryTrackPercent:
            answer = static_cast<uint32_t>(trackPercent_);
            break;
        case kQueryAbort:
            abort();
            return 0;
        default:
            return 0;
    }
    if (win::isWindow(window_)) {
        win::setWindowValue(window_, 0, static_cast<win::LPARAM>(answer));
    }
    return 1;
}

void BurnProcess::postServer(win::WPARAM code, win::LPARAM value) noexcept {
    if (win::isWindow(serverWindow_)) {
        win::postMessage(serverWindow_, SRV_BURN_STATUS, code, value);
    }
}

void BurnProcess::postProgress(int kind, win::WPARAM code, win::LPARAM value) noexcept {
    if (Clock::now() - lastReport_[kind] >= kReportPeriod) {
        lastReport_[kind] = Clock::now();
        postServer(code, value);
    }
}

void BurnProcess::setTitle(int32_t percent) noexcept {
    win::setWindowText(window_, burnTitle(setup_.arguments.drive, percent, trackCount_,
                                          setup_.arguments.numbers[2]));
}

void BurnProcess::updateTimes() noexcept {
    const auto now = Clock::now();
    auto ms = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    };
    const int64_t elapsed = ms(now - started_);
    int64_t totalSeconds = 0;
    for (const BurnEntry& entry : setup_.entries) {
        totalSeconds += entry.seconds;
    }
    const int64_t speed = setup_.arguments.numbers[2] > 0 ? setup_.arguments.numbers[2] : 1;
    int64_t remaining = 0;
    if (phase_ < kBurning) {
        const int64_t converting =
            decodedBytes_ > 0
                ? std::max<int64_t>(0, elapsed * (totalSeconds * 176400) / decodedBytes_ - elapsed)
                : 0;
        remaining = converting + 30000 + totalSeconds * 1000 / speed;
    } else if (fullAt_ && leadInEnded_ && burnStarted_) {
        remaining = std::max<int64_t>(0, ms(*leadInEnded_ - *burnStarted_) - ms(now - *fullAt_));
    } else if (leadInEnded_ && burnStarted_) {
        uint32_t done = 0;
        uint32_t total = 0;
        burner_->entries().runningStatus(session_, PRIMO_STATUS_QUERY, &done, &total);
        const int64_t since = ms(now - *leadInEnded_);
        const int64_t written = static_cast<int64_t>(done) - leadInSectors_;
        remaining = (written > 0 ? (static_cast<int64_t>(total) - done) * since / written : 0) +
                    ms(*leadInEnded_ - *burnStarted_);
    }
    timeText_ = clockText(burn_texts::kElapsed, elapsed) +
                format(burn_texts::kRemaining, static_cast<int>(remaining / 1000 / 3600),
                       static_cast<int>(remaining / 1000 / 60 % 60),
                       static_cast<int>(remaining / 1000 % 60),
                       static_cast<int>((elapsed + remaining) / 1000 / 3600),
                       static_cast<int>((elapsed + remaining) / 1000 / 60 % 60),
                       static_cast<int>((elapsed + remaining) / 1000 % 60));
}

}  // namespace vexa
