#include "controls/engine/playback_engine.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "controls/engine/recovery.h"
#include "platform/debug_trace.h"
#include "platform/messages.h"

namespace kinvo::controls {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kPumpSlice = 20ms;
constexpr auto kDrainLimit = 5s;

bool isFailure(std::int32_t event) {
    return event == vexa::kEventNotStarted || event == vexa::kEventFailed100 ||
           event == vexa::kEventFailed500;
}

}  // namespace

struct PlaybackEngine::State {
    std::string serverPath;
    std::chrono::milliseconds readyTimeout;

    std::mutex queueLock;
    std::condition_variable finishedChanged;  // with queueLock
    std::deque<Job> jobs;                     // queueLock
    bool stopping = false;                    // queueLock
    bool finished = false;                    // queueLock: the client window is closed
    std::int32_t retry[2] = {0, 0};           // queueLock: count, delay ms
    std::int32_t fallback[2] = {0, 0};        // queueLock
    bool paramsChanged = false;               // queueLock
    Job periodic;                             // queueLock
    std::chrono::milliseconds period{0};      // queueLock

    std::mutex sinkLock;
    Callback callback;  // sinkLock; cleared by stop()

    void emit(const ServerEvent& event) {
        std::lock_guard lock(sinkLock);
        if (callback) {
            callback(event);
        }
    }
    bool stopRequested() {
        std::lock_guard lock(queueLock);
        return stopping;
    }
};

namespace {

// The session as the engine's thread runs it.
class Runner final : public Session {
  public:
    explicit Runner(std::shared_ptr<PlaybackEngine::State> state) : state_(std::move(state)) {}

    void run() noexcept {
        try {
            session();
        } catch (...) {
            // Out of memory inside a job: the session ends like a lost server.
            state_->emit({ServerEvent::Kind::kEvent, vexa::kEventNotStarted, 0, 0, {}});
        }
        if (client_) {
            // The server we started is ours to end: asked to quit, it stops at once instead of
            // playing on until its liveness tick finds the client window gone (up to 2 s, and
            // a user who switches stations quickly would hear and keep several at a time).
            if (client_->serverProcess() != nullptr && client_->serverWindow() != 0) {
                win::postMessage(client_->serverWindow(), win::WM_QUIT, 0, 0);
            }
            client_->closeWindow();  // and without that, the server ends by itself
        }
        {
            std::lock_guard lock(state_->queueLock);
            state_->finished = true;
            state_->jobs.clear();
            state_->finishedChanged.notify_all();
        }
        drain();
        client_.reset();
    }

    vexa::VexaClient& client() override { return *client_; }
    void emit(const ServerEvent& event) override { state_->emit(event); }

  private:
    // Until the server has ended (at most kDrainLimit): its events still come while it winds
    // down, and the sends among them wait for an answer that only a pumping thread of this
    // process gives ("no such window"); unanswered, they would hold the server's main thread
    // and it would never notice that the client window is gone.
    void drain() noexcept {
        if (!client_ || client_->serverProcess() == nullptr) {
            return;
        }
        const auto until = Clock::now() + kDrainLimit;
        while (client_->serverRunning() && Clock::now() < until) {
            client_->pump(kPumpSlice);
        }
    }

    void session() {
        client_ = std::make_unique<vexa::VexaClient>();
        client_->setEventHandler([this](const vexa::ClientEvent& e) { onClientEvent(e); });
        if (!client_->start(state_->serverPath, state_->readyTimeout,
                            [this] { return state_->stopRequested(); })) {
            if (!state_->stopRequested()) {
                emit({ServerEvent::Kind::kEvent, vexa::kEventNotStarted, 0, 0, {}});
            }
            return;
        }
        Clock::time_point nextPeriodic = Clock::now();
        while (true) {
            PlaybackEngine::Job job;
            PlaybackEngine::Job periodic;
            {
                std::lock_guard lock(state_->queueLock);
                if (state_->stopping) {
                    return;
                }
                if (state_->paramsChanged) {
                    recovery_.setRetry(state_->retry[0], state_->retry[1]);
                    recovery_.setFallback(state_->fallback[0], state_->fallback[1]);
                    state_->paramsChanged = false;
                }
                if (!state_->jobs.empty()) {
                    job = std::move(state_->jobs.front());
                    state_->jobs.pop_front();
                } else if (state_->periodic && Clock::now() >= nextPeriodic) {
                    periodic = state_->periodic;
                    nextPeriodic = Clock::now() + state_->period;
                }
            }
            if (job) {
                job(*this);
                continue;
            }
            if (periodic) {
                periodic(*this);
            }
            takeRecoveryStep();
            if (!client_->serverRunning()) {
                emit({ServerEvent::Kind::kEvent, vexa::kEventNotStarted, 0, 0, {}});
                return;
            }
            client_->pump(kPumpSlice);
        }
    }

    void onClientEvent(const vexa::ClientEvent& e) {
        static constexpr const char* kKinds[] = {"event", "status", "metadata"};
        win::debugTrace("component: server " + std::string(kKinds[static_cast<int>(e.kind)]) + " " +
                        std::to_string(e.code) + " " + std::to_string(e.value) +
                        (e.text.empty() ? "" : " " + e.text) + "\n");
        ServerEvent event;
        event.code = e.code;
        event.value = e.value;
        switch (e.kind) {
            case vexa::ClientEvent::Kind::kEvent:
                event.kind = ServerEvent::Kind::kEvent;
                noteEvent(e.code);
                break;
            case vexa::ClientEvent::Kind::kStatus:
                event.kind = ServerEvent::Kind::kStatus;
                break;
            case vexa::ClientEvent::Kind::kMetadata:
                event.kind = ServerEvent::Kind::kMetadata;
                event.text = e.text;
                break;
        }
        emit(event);
    }

    // Called while the server waits for the event to be handled: the failed entry is still
    // the current one, so it is read back here (a command sent from inside the event).
    void noteEvent(std::int32_t code) {
        if (code == vexa::kEventPlaybackStarted) {
            recovery_.onStarted();
        } else if (isFailure(code) && recovery_.onFailure(Clock::now()) != RecoveryStep::kNone) {
            vexa::Reply current = client_->call(vexa::CMD_GET_CURRENT);
            failedEntry_ = current.ok() ? current.number(0) : -1;
        }
    }

    void takeRecoveryStep() {
        RecoveryStep step = recovery_.takeDue(Clock::now());
        if (step == RecoveryStep::kNone) {
            return;
        }
        if (failedEntry_ >= 0) {
            client_->call(vexa::CMD_SET_CURRENT, {vexa::Value::l(failedEntry_)});
        }
        if (step == RecoveryStep::kNextAddress) {
            client_->call(vexa::CMD_NEXT);
        }
        client_->call(vexa::CMD_PLAY);
    }

    std::shared_ptr<PlaybackEngine::State> state_;
    std::unique_ptr<vexa::VexaClient> client_;
    Recovery recovery_;
    std::int32_t failedEntry_ = -1;
};

}  // namespace

PlaybackEngine::PlaybackEngine(std::string serverPath, Callback callback,
                               std::chrono::milliseconds readyTimeout)
    : state_(std::make_shared<State>()) {
    state_->serverPath = std::move(serverPath);
    state_->readyTimeout = readyTimeout;
    state_->callback = std::move(callback);
    thread_ = std::thread([state = state_] { Runner(state).run(); });
}

PlaybackEngine::~PlaybackEngine() {
    stop();
}

void PlaybackEngine::post(Job job) noexcept {
    std::lock_guard lock(state_->queueLock);
    if (state_->stopping || state_->finished) {
        return;
    }
    try {
        state_->jobs.push_back(std::move(job));
    } catch (...) {
        // Out of memory: the call is lost, as with a server that has gone.
    }
}

void PlaybackEngine::setRetry(std::int32_t count, std::int32_t delayMs) noexcept {
    std::lock_guard lock(state_->queueLock);
    state_->retry[0] = count;
    state_->retry[1] = delayMs;
    state_->paramsChanged = true;
}

void PlaybackEngine::setFallback(std::int32_t count, std::int32_t delayMs) noexcept {
    std::lock_guard lock(state_->queueLock);
    state_->fallback[0] = count;
    state_->fallback[1] = delayMs;
    state_->paramsChanged = true;
}

void PlaybackEngine::setPeriodic(Job job, std::chrono::milliseconds period) noexcept {
    std::lock_guard lock(state_->queueLock);
    state_->periodic = std::move(job);
    state_->period = period;
}

void PlaybackEngine::stop() noexcept {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(state_->sinkLock);
        state_->callback = nullptr;
    }
    {
        std::unique_lock lock(state_->queueLock);
        state_->stopping = true;
        state_->jobs.clear();
        state_->finishedChanged.wait_for(lock, kStopWait, [this] { return state_->finished; });
    }
    // The thread goes on answering the ending server for a while (see Runner::drain); it
    // owns what it uses.
    thread_.detach();
}

}  // namespace kinvo::controls
