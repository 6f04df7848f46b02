#include "platform/message_layer.h"

#include "platform/debug_trace.h"

using win::debugTrace;

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace win::detail {
namespace {

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

Transport::Deadline deadlineAfter(UINT timeoutMs) {
    if (timeoutMs == kInfinite) {
        return Transport::Deadline::max();
    }
    return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

// Holds the thread's queue; its end is the thread's end.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (queue) {
            Layer::instance().threadEnded(queue);
        }
    }
};
thread_local QueueHolder tlQueue;

void atExit() {
    Layer::instance().processExit();
}

}  // namespace

bool PendingReply::complete(LRESULT result, bool answered) noexcept {
    {
        std::lock_guard guard(lock_);
        if (state_.load(std::memory_order_relaxed) != kWaiting) {
            return false;
        }
        result_ = result;
        state_.store(answered ? kAnswered : kFailed, std::memory_order_release);
    }
    if (waiter_ && !waiter_->isOwnerThread()) {
        waiter_->wake();
    }
    return true;
}

Layer& Layer::instance() {
    // Never destroyed: queues of threads that end during exit still reach it.
    static Layer* layer = new Layer;
    return *layer;
}

Layer::Layer() : pid_(::getpid()) {
    startTime_ = processStartTime(pid_).value_or(0);
    dir_ = openRuntimeDir();
    if (!dir_) {
        debugTrace("message layer: no usable runtime folder; windows stay in this process\n");
    } else if (!transport_.start(*dir_, this)) {
        debugTrace("message layer: cannot bind the process socket\n");
        dir_.reset();
    }
    std::atexit(atExit);
}

ThreadQueue& Layer::currentQueue() {
    return *currentQueueShared();
}

std::shared_ptr<ThreadQueue> Layer::currentQueueShared() {
    if (!tlQueue.queue) {
        tlQueue.queue =
            std::make_shared<ThreadQueue>(transport_.running() ? transport_.descriptor() : -1);
    }
    return tlQueue.queue;
}

std::shared_ptr<Window> Layer::find(HWND hwnd) {
    std::lock_guard guard(tableLock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second;
}

std::shared_ptr<ClassRecord> Layer::findClass(std::string_view name) {
    std::lock_guard guard(tableLock_);
    auto it = classes_.find(lowerCase(name));
    return it == classes_.end() ? nullptr : it->second;
}

bool Layer::registerClass(const WindowClass& windowClass) {
    if (windowClass.proc == nullptr || windowClass.name.empty() || windowClass.extraValues < 0) {
        return false;
    }
    auto record = std::make_shared<ClassRecord>();
    record->name = windowClass.name;
    record->style = windowClass.style;
    record->proc = windowClass.proc;
    record->extraValues = windowClass.extraValues;
    record->background = windowClass.background;
    std::lock_guard guard(tableLock_);
    return classes_.emplace(lowerCase(windowClass.name), record).second;
}

bool Layer::unregisterClass(std::string_view name) {
    std::lock_guard guard(tableLock_);
    auto it = classes_.find(lowerCase(name));
    if (it == classes_.end() || it->second->windows != 0) {
        return false;
    }
    classes_.erase(it);
    return true;
}

bool Layer::classInfo(std::string_view name, WindowClass& out) {
    const auto cls = findClass(name);
    if (!cls) {
        return false;
    }
    out.name = cls->name;
    out.style = cls->style;
    out.proc = cls->proc;
    out.extraValues = cls->extraValues;
    out.background = cls->background;
    return true;
}

void Layer::setForeignWindowProbe(ForeignWindowProbe probe) {
    std::lock_guard guard(tableLock_);
    foreignProbe_ = std::move(probe);
}

bool Layer::setPaintPending(HWND hwnd, bool pending) {
    const auto window = find(hwnd);
    if (!window || !window->backend) {
        return false;
    }
    window->owner->setPaintPending(hwnd, pending);
    return true;
}

void Layer::validate(HWND hwnd) {
    const auto window = find(hwnd);
    if (window && window->backend && window->owner->isOwnerThread()) {
        window->backend->validate();
        window->owner->setPaintPending(hwnd, false);
    }
}

void Layer::setVisibleWindowFactory(VisibleWindowFactory factory) {
    std::lock_guard guard(tableLock_);
    factory_ = std::move(factory);
}

HWND Layer::createWindow(const CreateParams& params) {
    const std::shared_ptr<ClassRecord> cls = findClass(params.className);
    if (!cls) {
        return 0;
    }
    auto window = std::make_shared<Window>();
    window->cls = cls;
    window->owner = currentQueueShared();
    window->proc = cls->proc;
    window->text = params.windowName;
    window->values.assign(static_cast<std::size_t>(cls->extraValues), 0);

    const bool messageOnly = params.style == 0 && params.parent == 0;
    if (messageOnly) {
        std::lock_guard guard(tableLock_);
        unsigned slot = nextSlot_;
        int tries = 0;
        while (usedSlots_.test(slot) && tries < 256) {
            slot = (slot + 1) % 256;
            ++tries;
        }
        if (tries == 256) {
            return 0;  // every handle number of this process is in use
        }
        // Numbers go round, so a handle just freed is not handed out again at once.
        usedSlots_.set(slot);
        nextSlot_ = (slot + 1) % 256;
        window->hwnd = kMessageWindowBit | (static_cast<HWND>(pid_) << 8) | slot;
    } else {
        VisibleWindowFactory factory;
        {
            std::lock_guard guard(tableLock_);
            factory = factory_;
        }
        if (!factory) {
            return 0;
        }
        VisibleWindow visible = factory(params);
        if (visible.hwnd == 0 || isMessageWindowHandle(visible.hwnd)) {
            return 0;
        }
        window->hwnd = visible.hwnd;
        window->backend = std::move(visible.backend);
        window->topLevel = visible.topLevel;
    }
    window->hasFile = messageOnly && dir_.has_value();
    bool inserted = false;
    {
        std::lock_guard guard(tableLock_);
        inserted = windows_.emplace(window->hwnd, window).second;
        if (inserted) {
            ++cls->windows;
        }
    }
    if (!inserted) {
        if (window->backend) {
            window->backend->destroyed();  // a display id we already hold
        }
        return 0;
    }
    if (window->hasFile) {
        publish(window);
    }
    // Published before WM_CREATE: the procedure may hand its handle to another process there.
    WNDPROC proc = nullptr;
    {
        std::lock_guard guard(tableLock_);
        proc = window->proc;
    }
    if (proc(window->hwnd, WM_CREATE, 0, params.createParam) == -1) {
        removeWindow(window);
        if (window->backend) {
            window->backend->destroyed();
        }
        return 0;
    }
    return window->hwnd;
}

void Layer::publish(const std::shared_ptr<Window>& window) {
    std::lock_guard fileGuard(fileLock_);
    WindowFile file;
    file.pid = pid_;
    file.startTime = startTime_;
    file.className = window->cls->name;
    {
        std::lock_guard guard(tableLock_);
        if (window->destroying && windows_.count(window->hwnd) == 0) {
            return;
        }
        file.text = window->text;
    }
    if (!writeWindowFile(*dir_, window->hwnd, file)) {
        debugTrace("message layer: cannot write a window file\n");
    }
}

void Layer::removeWindow(const std::shared_ptr<Window>& window) noexcept {
    {
        std::lock_guard guard(tableLock_);
        window->destroying = true;
        if (windows_.erase(window->hwnd) == 0) {
            return;
        }
        --window->cls->windows;
        if (isMessageWindowHandle(window->hwnd)) {
            usedSlots_.reset(window->hwnd & 0xFF);
        }
    }
    if (window->backend) {
        window->owner->setPaintPending(window->hwnd, false);
    }
    if (window->hasFile) {
        std::lock_guard fileGuard(fileLock_);
        removeWindowFile(*dir_, window->hwnd);
    }
}

bool Layer::destroyWindow(HWND hwnd) {
    const std::shared_ptr<Window> window = find(hwnd);
    if (!window || !window->owner->isOwnerThread()) {
        return false;
    }
    WNDPROC proc = nullptr;
    {
        std::lock_guard guard(tableLock_);
        if (window->destroying) {
            return false;
        }
        window->destroying = true;
        proc = window->proc;
    }
    proc(hwnd, WM_DESTROY, 0, 0);
    {
        std::lock_guard guard(tableLock_);
        proc = window->proc;
    }
    proc(hwnd, WM_NCDESTROY, 0, 0);
    window->owner->killTimers(hwnd);
    removeWindow(window);
    if (window->backend) {
        window->backend->destroyed();
    }
    return true;
}

std::optional<WindowFile> Layer::remoteWindow(HWND hwnd) {
    if (!dir_ || !isMessageWindowHandle(hwnd) || handleProcess(hwnd) == pid_) {
        return std::nullopt;
    }
    std::optional<WindowFile> file = readWindowFile(*dir_, hwnd);
    if (!file) {
        return std::nullopt;
    }
    if (file->pid != handleProcess(hwnd) || !windowFileLive(*file)) {
        removeWindowFile(*dir_, hwnd);
        if (!processStartTime(handleProcess(hwnd))) {
            ::unlink(socketPath(*dir_, handleProcess(hwnd)).c_str());
        }
        return std::nullopt;
    }
    return file;
}

bool Layer::isWindow(HWND hwnd) {
    if (hwnd == 0) {
        return false;
    }
    if (find(hwnd)) {
        return true;  // also while its WM_DESTROY runs, as on Windows
    }
    if (!isMessageWindowHandle(hwnd)) {
        ForeignWindowProbe probe;
        {
            std::lock_guard guard(tableLock_);
            probe = foreignProbe_;
        }
        return probe && probe(hwnd);
    }
    return remoteWindow(hwnd).has_value();
}

std::string Layer::windowText(HWND hwnd) {
    if (const auto window = find(hwnd)) {
        std::lock_guard guard(tableLock_);
        return window->text;
    }
    const auto file = remoteWindow(hwnd);
    return file ? file->text : std::string();
}

bool Layer::setWindowText(HWND hwnd, std::string_view text) {
    const auto window = find(hwnd);
    if (!window) {
        return false;
    }
    {
        std::lock_guard guard(tableLock_);
        window->text = std::string(text);
    }
    if (window->hasFile) {
        publish(window);
    }
    if (window->backend && window->owner->isOwnerThread()) {
        window->backend->textChanged(text);
    }
    return true;
}

std::string Layer::className(HWND hwnd) {
    if (const auto window = find(hwnd)) {
        return window->cls->name;
    }
    const auto file = remoteWindow(hwnd);
    return file ? file->className : std::string();
}

UINT Layer::classStyle(HWND hwnd) {
    const auto window = find(hwnd);
    return window ? window->cls->style : 0;
}

pid_t Layer::windowProcess(HWND hwnd) {
    if (find(hwnd)) {
        return pid_;
    }
    return remoteWindow(hwnd) ? handleProcess(hwnd) : 0;
}

WNDPROC Layer::setWindowProc(HWND hwnd, WNDPROC proc) {
    const auto window = find(hwnd);
    if (!window || proc == nullptr) {
        return nullptr;
    }
    std::lock_guard guard(tableLock_);
    return std::exchange(window->proc, proc);
}

WNDPROC Layer::windowProc(HWND hwnd) {
    const auto window = find(hwnd);
    if (!window) {
        return nullptr;
    }
    std::lock_guard guard(tableLock_);
    return window->proc;
}

bool Layer::windowValue(HWND hwnd, int index, LPARAM* value, const LPARAM* newValue) {
    const auto window = find(hwnd);
    if (!window) {
        return false;
    }
    std::lock_guard guard(tableLock_);
    LPARAM* slot = nullptr;
    if (index == -1) {
        slot = &window->userData;
    } else if (index >= 0 && static_cast<std::size_t>(index) < window->values.size()) {
        slot = &window->values[static_cast<std::size_t>(index)];
    } else {
        return false;
    }
    *value = *slot;
    if (newValue != nullptr) {
        *slot = *newValue;
    }
    return true;
}

bool Layer::postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG msg{hwnd, message, wParam, lParam, tickCount()};
    if (hwnd == 0) {
        currentQueue().post(msg);
        return true;
    }
    if (const auto window = find(hwnd)) {
        window->owner->post(msg);
        return true;
    }
    if (!dir_ || !isMessageWindowHandle(hwnd) || handleProcess(hwnd) == pid_ ||
        ::access(windowFilePath(*dir_, hwnd).c_str(), F_OK) != 0) {
        return false;
    }
    // A full peer gets a generous while to drain before the post is given up, as a full queue
    // refuses posts on Windows.
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    const auto connection = transport_.connectionTo(handleProcess(hwnd), deadline);
    if (!connection) {
        remoteWindow(hwnd);  // removes the file when its process has ended
        return false;
    }
    Frame frame;
    frame.kind = FrameKind::Post;
    frame.hwnd = hwnd;
    frame.message = message;
    frame.wParam = wParam;
    frame.lParam = lParam;
    return transport_.write(*connection, frame, deadline);
}

bool Layer::sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs,
                        LRESULT* result) {
    LRESULT dummy = 0;
    LRESULT& out = result != nullptr ? *result : dummy;
    const Transport::Deadline deadline = deadlineAfter(timeoutMs);
    if (const auto window = find(hwnd)) {
        if (window->owner->isOwnerThread()) {
            WNDPROC proc = nullptr;
            {
                std::lock_guard guard(tableLock_);
                proc = window->proc;
            }
            out = proc(hwnd, message, wParam, lParam);
            return true;
        }
        auto pending = std::make_shared<PendingReply>(currentQueueShared(), nullptr);
        SentMessage sent{hwnd, message, wParam, lParam, pending, nullptr, 0};
        if (!window->owner->pushSent(sent)) {
            return false;
        }
        const bool answered = waitForAnswer(*pending, deadline);
        out = answered ? pending->result() : 0;
        return answered;
    }
    out = 0;
    if (!isMessageWindowHandle(hwnd) || handleProcess(hwnd) == pid_) {
        return false;
    }
    const auto connection = transport_.connectionTo(handleProcess(hwnd), deadline);
    if (!connection) {
        remoteWindow(hwnd);
        return false;
    }
    auto pending = std::make_shared<PendingReply>(currentQueueShared(), connection);
    const std::uint32_t seq = transport_.addPending(pending);
    Frame frame;
    frame.kind = FrameKind::Send;
    frame.seq = seq;
    frame.hwnd = hwnd;
    frame.message = message;
    frame.wParam = wParam;
    frame.lParam = lParam;
    frame.timeoutMs = timeoutMs;
    bool answered = false;
    if (!connection->closed() && transport_.write(*connection, frame, deadline)) {
        answered = waitForAnswer(*pending, deadline);
    } else {
        pending->complete(0, false);
    }
    transport_.removePending(seq);
    out = answered ? pending->result() : 0;
    return answered;
}

bool Layer::waitForAnswer(PendingReply& pending, Transport::Deadline deadline) {
    const bool answered = waitForAnswerOnce(pending, deadline);
    // The wait may have taken the wake-up meant for messages posted meanwhile; an outside loop
    // that pumps through the descriptor must still see them.
    if (currentQueue().hasWork()) {
        currentQueue().wake();
    }
    return answered;
}

bool Layer::waitForAnswerOnce(PendingReply& pending, Transport::Deadline deadline) {
    // No PumpScope here: what a procedure posts to its own thread during the wait must wake an
    // outside event loop that pumps this queue through its descriptor.
    ThreadQueue& queue = currentQueue();
    // Nothing can have come yet: the first look is the poll below.
    unsigned ready = 0;
    for (;;) {
        if ((ready & kReadyWake) != 0) {
            queue.clearWake();
        }
        if ((ready & kReadyTransport) != 0) {
            transport_.pump();
        }
        if (pending.done()) {
            return pending.answered();
        }
        // Messages others send to our windows run while we wait; posted ones wait.
        while (auto sent = queue.takeSent()) {
            deliver(*sent);
        }
        if (pending.done()) {
            return pending.answered();
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            if (pending.complete(0, false)) {
                return false;
            }
            return pending.answered();
        }
        int timeout = -1;
        if (deadline != Transport::Deadline::max()) {
            timeout = static_cast<int>(
                std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count());
        }
        pollfd fds[2] = {{queue.wakeDescriptor(), POLLIN, 0},
                         {transport_.running() ? transport_.descriptor() : -1, POLLIN, 0}};
        ready = 0;
        if (::poll(fds, 2, timeout) > 0) {
            ready = (fds[0].revents != 0 ? kReadyWake : 0u) |
                    (fds[1].revents != 0 ? kReadyTransport : 0u);
        }
    }
}

void Layer::deliver(SentMessage& sent) {
    const auto window = find(sent.hwnd);
    WNDPROC proc = nullptr;
    if (window && window->owner->isOwnerThread()) {
        std::lock_guard guard(tableLock_);
        proc = window->proc;
    }
    if (proc == nullptr) {
        answer(sent, 0, false);
        return;
    }
    answer(sent, proc(sent.hwnd, sent.message, sent.wParam, sent.lParam), true);
}

void Layer::answer(SentMessage& sent, LRESULT result, bool answered) {
    if (sent.localSender) {
        sent.localSender->complete(result, answered);
    } else if (sent.remoteSender) {
        transport_.reply(sent.remoteSender, sent.seq, result, answered);
    }
}

void Layer::framePosted(const Frame& frame) {
    if (const auto window = find(frame.hwnd)) {
        window->owner->post(MSG{frame.hwnd, frame.message, static_cast<WPARAM>(frame.wParam),
                                static_cast<LPARAM>(frame.lParam), tickCount()});
    }
}

void Layer::frameSent(const Frame& frame, std::shared_ptr<Connection> from) {
    SentMessage sent{frame.hwnd,
                     frame.message,
                     static_cast<WPARAM>(frame.wParam),
                     static_cast<LPARAM>(frame.lParam),
                     nullptr,
                     std::move(from),
                     frame.seq};
    const auto window = find(frame.hwnd);
    if (window && window->owner->pushSent(sent)) {
        return;
    }
    // No such window (or its thread ended): answered at once when the connection takes it,
    // else by the receiving thread's own queue, outside the receive path.
    if (!transport_.tryReplyNoWindow(sent.remoteSender, sent.seq) &&
        !currentQueue().pushSent(sent)) {
        answer(sent, 0, false);
    }
}

void Layer::serviceReady(ThreadQueue& queue, unsigned ready) {
    if ((ready & kReadyWake) != 0) {
        queue.clearWake();
    }
    if ((ready & kReadyTransport) != 0) {
        transport_.pump();
    }
    if ((ready & kReadySources) != 0) {
        queue.runReadySources();
    }
    while (auto sent = queue.takeSent()) {
        deliver(*sent);
    }
}

bool Layer::peekMessage(MSG& msg, HWND hwnd, UINT min, UINT max, UINT removeFlags, unsigned ready) {
    ThreadQueue& queue = currentQueue();
    PumpScope pumping;
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    serviceReady(queue, ready);
    // A paint comes when nothing is posted, as on Windows, and stays until it is validated.
    if (queue.takePosted(msg, hwnd, min, max, remove) || queue.takeQuit(msg, remove) ||
        queue.takePaint(msg, hwnd, min, max) || queue.takeDueTimer(msg, hwnd, min, max, remove)) {
        return true;
    }
    queue.rearmTimer();
    return false;
}

int Layer::getMessage(MSG& msg, HWND hwnd, UINT min, UINT max) {
    ThreadQueue& queue = currentQueue();
    unsigned ready = kReadyAll;
    while (!peekMessage(msg, hwnd, min, max, PM_REMOVE, ready)) {
        ready = queue.waitIdle(-1);
    }
    return msg.message == WM_QUIT ? 0 : 1;
}

bool Layer::waitMessage(UINT timeoutMs) {
    ThreadQueue& queue = currentQueue();
    PumpScope pumping;
    const auto deadline = deadlineAfter(timeoutMs);
    unsigned ready = kReadyAll;
    for (;;) {
        serviceReady(queue, ready);
        if (queue.hasWork()) {
            return true;
        }
        queue.rearmTimer();
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        ready = queue.waitIdle(
            deadline == Transport::Deadline::max()
                ? -1
                : static_cast<int>(
                      std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count()));
    }
}

LRESULT Layer::dispatchMessage(const MSG& msg) {
    const auto window = find(msg.hwnd);
    if (!window || !window->owner->isOwnerThread()) {
        return 0;
    }
    WNDPROC proc = nullptr;
    {
        std::lock_guard guard(tableLock_);
        proc = window->proc;
    }
    return proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

std::uintptr_t Layer::setTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs) {
    const auto window = find(hwnd);
    if (!window || !window->owner->isOwnerThread()) {
        return 0;
    }
    return window->owner->setTimer(hwnd, id, elapseMs) ? (id == 0 ? 1 : id) : 0;
}

bool Layer::killTimer(HWND hwnd, std::uintptr_t id) {
    const auto window = find(hwnd);
    if (!window || !window->owner->isOwnerThread()) {
        return false;
    }
    return window->owner->killTimer(hwnd, id);
}

bool Layer::enumWindows(const std::function<bool(HWND)>& visit) {
    std::vector<HWND> handles;
    {
        std::lock_guard guard(tableLock_);
        for (const auto& [hwnd, window] : windows_) {
            if (window->topLevel && !window->destroying) {
                handles.push_back(hwnd);
            }
        }
    }
    if (dir_) {
        removeStaleSockets(*dir_);
        for (const HWND hwnd : listWindowFiles(*dir_)) {
            if (isMessageWindowHandle(hwnd) && handleProcess(hwnd) != pid_ && remoteWindow(hwnd)) {
                handles.push_back(hwnd);
            }
        }
    }
    std::sort(handles.begin(), handles.end());
    for (const HWND hwnd : handles) {
        if (!visit(hwnd)) {
            break;
        }
    }
    return true;
}

void Layer::threadEnded(const std::shared_ptr<ThreadQueue>& queue) noexcept {
    std::vector<std::shared_ptr<Window>> owned;
    {
        std::lock_guard guard(tableLock_);
        for (const auto& [hwnd, window] : windows_) {
            if (window->owner == queue) {
                owned.push_back(window);
            }
        }
    }
    for (const auto& window : owned) {
        removeWindow(window);
        if (window->backend) {
            window->backend->destroyed();
        }
    }
    for (SentMessage& sent : queue->close()) {
        answer(sent, 0, false);
    }
}

void Layer::processExit() noexcept {
    std::vector<HWND> published;
    {
        std::lock_guard guard(tableLock_);
        for (const auto& [hwnd, window] : windows_) {
            if (window->hasFile) {
                published.push_back(hwnd);
            }
        }
    }
    for (const HWND hwnd : published) {
        removeWindowFile(*dir_, hwnd);
    }
    transport_.unlinkSocket();
}

}  // namespace win::detail
