#include "axserver/core/change_watch.h"

#include "platform/change_watch.h"
#include "platform/messages.h"

namespace vexa {

namespace {

// The platform's watch set pumped by the main thread's queue: its descriptor is a queue source,
// so changes are handled between messages, on the thread that owns the playlist.
class QueueChangeWatch final : public ChangeWatch {
  public:
    QueueChangeWatch(win::ChangeWatch watch, Handler handler)
        : watch_(std::move(watch)), handler_(std::move(handler)) {}
    ~QueueChangeWatch() override { win::removeQueueSource(watch_.descriptor()); }

    bool listen() {
        return win::addQueueSource(watch_.descriptor(), [this] { readChanges(); });
    }
    bool addFolder(const std::string& folder) override { return watch_.addFolder(folder); }

  private:
    void readChanges() {
        for (const win::ChangeEvent& e : watch_.readEvents()) {
            switch (e.kind) {
                case win::ChangeEvent::Kind::FolderChanged:
                    handler_({Change::Kind::kFolderContents, e.path});
                    break;
                case win::ChangeEvent::Kind::ItemChanged:
                    handler_({Change::Kind::kItemChanged, e.path});
                    break;
                case win::ChangeEvent::Kind::ItemRenamed:
                    handler_({Change::Kind::kItemRenamed, e.newPath});
                    break;
            }
        }
    }

    win::ChangeWatch watch_;
    Handler handler_;
};

}  // namespace

std::unique_ptr<ChangeWatch> ChangeWatch::start(Handler handler) {
    auto watch = win::ChangeWatch::create();
    if (!watch) {
        return nullptr;
    }
    auto queued = std::make_unique<QueueChangeWatch>(std::move(*watch), std::move(handler));
    if (!queued->listen()) {
        return nullptr;
    }
    return queued;
}

}  // namespace vexa
