#include "browser/web/control_bridge.h"

#include <QMetaObject>

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace kinvo::web {

// Carries a component's events, from whichever thread sends them, onto the bridge's thread;
// there they are dropped when the object's generation has passed.
class ControlBridge::Relay final : public component::PlaybackEvents,
                                   public component::PlayerEvents {
  public:
    Relay(ControlBridge& bridge, unsigned generation) : bridge_(bridge), generation_(generation) {}

    void SonariMsgEvent(std::int32_t code) noexcept override {
        post([code](ControlBridge& b) { emit b.msgEvent(code); });
    }
    void SonariStatus(std::int32_t code, std::int32_t value) noexcept override {
        post([code, value](ControlBridge& b) { emit b.status(code, value); });
    }
    void SonariMetaData(const char* data, std::int32_t size) noexcept override {
        post([text = QString::fromUtf8(data != nullptr ? data : ""), size](ControlBridge& b) {
            emit b.metaData(text, size);
        });
    }
    void PlayerStateChanged(component::PlayerState state, std::int32_t detail) noexcept override {
        post([state, detail](ControlBridge& b) {
            emit b.playerState(static_cast<int>(state), detail);
        });
    }
    void PlayerPosition(std::int32_t positionMs, std::int32_t lengthMs) noexcept override {
        post([positionMs, lengthMs](ControlBridge& b) {
            emit b.playerPosition(positionMs, lengthMs);
        });
    }

  private:
    template <typename Deliver>
    void post(Deliver deliver) noexcept {
        ControlBridge* bridge = &bridge_;
        const unsigned generation = generation_;
        QMetaObject::invokeMethod(
            bridge,
            [bridge, generation, deliver = std::move(deliver)] {
                if (bridge->isLive(generation)) {
                    deliver(*bridge);
                }
            },
            Qt::QueuedConnection);
    }

    ControlBridge& bridge_;
    unsigned generation_;
};

// A live object with its relay; the object goes first.
struct ControlBridge::Live {
    QString page;
    unsigned generation = 0;
    std::unique_ptr<Relay> relay;
    ControlPtr control;
    PlayerPtr player;
};

namespace {

int number(const QVariantList& args, int index) {
    return args.at(index).toInt();
}

}  // namespace

ControlBridge::ControlBridge(ComponentFactory& components, std::function<std::uint64_t()> window,
                             QObject* parent)
    : QObject(parent), components_(components), window_(std::move(window)) {}

ControlBridge::~ControlBridge() {
    releaseAll();
}

void ControlBridge::call(const QString& page, const QString& name, const QVariantList& args) {
    using component::PlaybackControl;
    using Handler = std::function<void(PlaybackControl&, const QVariantList&)>;
    struct Entry {
        int arguments;
        Handler handler;
    };
    static const std::map<QString, Entry> kCalls = {
        {QStringLiteral("SetCrossInstanceControl"),
         {1, [](PlaybackControl& c,
                const QVariantList& a) { c.SetCrossInstanceControl(number(a, 0)); }}},
        {QStringLiteral("SetVideoAutoSize"),
         {1, [](PlaybackControl& c, const QVariantList& a) { c.SetVideoAutoSize(number(a, 0)); }}},
        {QStringLiteral("SetVideoLogo"),
         {1, [](PlaybackControl& c, const QVariantList& a) { c.SetVideoLogo(number(a, 0)); }}},
        {QStringLiteral("SetRetryParams"),
         {2, [](PlaybackControl& c,
                const QVariantList& a) { c.SetRetryParams(number(a, 0), number(a, 1)); }}},
        {QStringLiteral("SetFallbackParams"),
         {2, [](PlaybackControl& c,
                const QVariantList& a) { c.SetFallbackParams(number(a, 0), number(a, 1)); }}},
        {QStringLiteral("SetUseCustomDRMURL"),
         {1,
          [](PlaybackControl& c, const QVariantList& a) { c.SetUseCustomDRMURL(number(a, 0)); }}},
        {QStringLiteral("AppendFileToPlaylist"),
         {1,
          [](PlaybackControl& c, const QVariantList& a) {
              c.AppendFileToPlaylist(a.at(0).toString().toUtf8().constData());
          }}},
        {QStringLiteral("Repeat"),
         {1, [](PlaybackControl& c, const QVariantList& a) { c.setRepeat(number(a, 0)); }}},
        {QStringLiteral("Play"), {0, [](PlaybackControl& c, const QVariantList&) { c.Play(); }}},
        {QStringLiteral("SetVideoHWND"),
         {1, [](PlaybackControl& c,
                const QVariantList& a) { c.SetVideoHWND(a.at(0).toULongLong()); }}},
    };

    if (name == QLatin1String("setCallback")) {
        // The first call of a control page: a control of its own, any earlier one let go.
        if (control_ && control_->page != page) {
            releaseControl();
        }
        if (!control_) {
            auto live = std::make_unique<Live>();
            live->page = page;
            live->generation = ++generation_;
            live->relay = std::make_unique<Relay>(*this, live->generation);
            live->control = components_.createPlaybackControl();
            control_ = std::move(live);
        }
        control_->control->setCallback(control_->relay.get());
        return;
    }
    if (!control_ || control_->page != page) {
        return;
    }
    if (name == QLatin1String("Deinitialize")) {
        releaseControl();
        emit deinitialized();
        return;
    }
    const auto found = kCalls.find(name);
    if (found == kCalls.end() || args.size() < found->second.arguments) {
        return;
    }
    found->second.handler(*control_->control, args);
}

void ControlBridge::createPlayer(const QString& page, const QString& classId,
                                 const QVariantMap& params) {
    releasePlayer();
    auto live = std::make_unique<Live>();
    live->page = page;
    live->generation = ++generation_;
    live->relay = std::make_unique<Relay>(*this, live->generation);
    live->player = components_.createPlayer(classId.toStdString());
    if (!live->player) {
        emit playerCreated(false, false);
        return;
    }
    component::MediaPlayer& player = *live->player;
    player.SetEvents(live->relay.get());
    for (auto it = params.begin(); it != params.end(); ++it) {
        player.SetParam(it.key().toUtf8().constData(), it.value().toString().toUtf8().constData());
    }
    const bool controls = player.ShowsControls() != 0;
    player.SetWindow(window_());
    player.Start();
    player_ = std::move(live);
    emit playerCreated(true, controls);
}

void ControlBridge::player(const QString& page, const QString& name, int value) {
    if (!player_ || player_->page != page) {
        return;
    }
    component::MediaPlayer& p = *player_->player;
    if (name == QLatin1String("Play")) {
        p.Play();
    } else if (name == QLatin1String("Pause")) {
        p.Pause();
    } else if (name == QLatin1String("Stop")) {
        p.Stop();
    } else if (name == QLatin1String("Seek")) {
        p.Seek(value);
    } else if (name == QLatin1String("SetVolume")) {
        p.SetVolume(value);
    }
}

void ControlBridge::pageGone(const QString& page) {
    const bool control = control_ && control_->page == page;
    const bool player = player_ && player_->page == page;
    if (control) {
        releaseControl();
    }
    if (player) {
        releasePlayer();
    }
    if (control || player) {
        emit deinitialized();
    }
}

void ControlBridge::placeWindow(double x, double y, double width, double height) {
    emit windowPlaced(QRectF(x, y, width, height));
}

bool ControlBridge::isLive(unsigned generation) const {
    return (control_ && control_->generation == generation) ||
           (player_ && player_->generation == generation);
}

void ControlBridge::releaseAll() {
    releaseControl();
    releasePlayer();
}

void ControlBridge::releaseControl() {
    if (control_) {
        control_->control->Deinitialize();
        control_.reset();
    }
}

void ControlBridge::releasePlayer() {
    if (player_) {
        player_.reset();
    }
}

}  // namespace kinvo::web
