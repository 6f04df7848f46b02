#pragma once
// The process-wide message layer: the window classes, the table of this process's windows, the
// handle numbers, the transport to other processes and the current thread's queue. There is one
// per process (the system's window manager is process-wide by nature); it is reached only through
// the functions of messages.h and window_backend.h and lives until the process ends (it is never
// destroyed, so threads that end late still find it; at exit its files are removed).

#include "platform/messages.h"
#include "platform/runtime_dir.h"
#include "platform/thread_queue.h"
#include "platform/transport.h"
#include "platform/window_backend.h"

#include <bitset>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace win::detail {

struct ClassRecord {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int extraValues = 0;
    std::uint32_t background = 0xFFFFFFFF;
    int windows = 0;  // guarded by Layer::tableLock_
};

struct Window {
    HWND hwnd = 0;
    std::shared_ptr<ClassRecord> cls;
    std::shared_ptr<ThreadQueue> owner;
    bool topLevel = true;
    bool hasFile = false;  // a message-only top-level window published in the runtime folder
    // The rest is guarded by Layer::tableLock_.
    WNDPROC proc = nullptr;
    std::string text;
    LPARAM userData = 0;
    std::vector<LPARAM> values;
    bool destroying = false;
    std::unique_ptr<WindowBackend> backend;  // visible windows only
};

class Layer final : public FrameSink {
  public:
    static Layer& instance();

    ThreadQueue& currentQueue();
    std::shared_ptr<ThreadQueue> currentQueueShared();

    bool registerClass(const WindowClass& windowClass);
    bool unregisterClass(std::string_view name);
    HWND createWindow(const CreateParams& params);
    bool destroyWindow(HWND hwnd);
    bool isWindow(HWND hwnd);
    std::string windowText(HWND hwnd);
    bool setWindowText(HWND hwnd, std::string_view text);
    std::string className(HWND hwnd);
    UINT classStyle(HWND hwnd);
    pid_t windowProcess(HWND hwnd);
    WNDPROC setWindowProc(HWND hwnd, WNDPROC proc);
    WNDPROC windowProc(HWND hwnd);
    bool windowValue(HWND hwnd, int index, LPARAM* value, const LPARAM* newValue);
    void setVisibleWindowFactory(VisibleWindowFactory factory);
    bool classInfo(std::string_view name, WindowClass& out);
    void setForeignWindowProbe(ForeignWindowProbe probe);
    bool setPaintPending(HWND hwnd, bool pending);
    // defWindowProc's WM_PAINT: the window's backend validates what was to be painted.
    void validate(HWND hwnd);

    bool postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs,
                     LRESULT* result);
    // `ready`: what the caller's wait found (Ready bits); only those descriptors are read.
    bool peekMessage(MSG& msg, HWND hwnd, UINT min, UINT max, UINT removeFlags,
                     unsigned ready = kReadyAll);
    int getMessage(MSG& msg, HWND hwnd, UINT min, UINT max);
    bool waitMessage(UINT timeoutMs);
    LRESULT dispatchMessage(const MSG& msg);

    std::uintptr_t setTimer(HWND hwnd, std::uintptr_t id, UINT elapseMs);
    bool killTimer(HWND hwnd, std::uintptr_t id);

    bool enumWindows(const std::function<bool(HWND)>& visit);

    // FrameSink: called by the transport's receiving thread.
    void framePosted(const Frame& frame) override;
    void frameSent(const Frame& frame, std::shared_ptr<Connection> from) override;

    // A thread ends: its windows go without messages, senders waiting on it fail.
    void threadEnded(const std::shared_ptr<ThreadQueue>& queue) noexcept;
    void processExit() noexcept;

  private:
    Layer();

    std::shared_ptr<Window> find(HWND hwnd);
    std::shared_ptr<ClassRecord> findClass(std::string_view name);
    bool waitForAnswer(PendingReply& pending, Transport::Deadline deadline);
    bool waitForAnswerOnce(PendingReply& pending, Transport::Deadline deadline);
    void deliver(SentMessage& sent);
    // One round of a pump: takes what `ready` reports (wake-up, peer frames, sources) and runs
    // the messages sent to this thread's windows.
    void serviceReady(ThreadQueue& queue, unsigned ready);
    void answer(SentMessage& sent, LRESULT result, bool answered);
    void removeWindow(const std::shared_ptr<Window>& window) noexcept;
    void publish(const std::shared_ptr<Window>& window);
    // A window of another process, read from its file; stale files are removed.
    std::optional<WindowFile> remoteWindow(HWND hwnd);

    const pid_t pid_;
    std::uint64_t startTime_ = 0;
    std::optional<std::string> dir_;  // the runtime folder; none: in-process only
    Transport transport_;

    std::mutex tableLock_;  // guards classes_, windows_, usedSlots_, nextSlot_, factory_,
                            // foreignProbe_ and the mutable fields of every Window
    std::map<std::string, std::shared_ptr<ClassRecord>> classes_;  // by lower-case name
    std::unordered_map<HWND, std::shared_ptr<Window>> windows_;
    std::bitset<256> usedSlots_;
    unsigned nextSlot_ = 0;
    VisibleWindowFactory factory_;
    ForeignWindowProbe foreignProbe_;

    std::mutex fileLock_;  // orders rewrites of window files, so the last text set is kept
};

}  // namespace win::detail
