#pragma once
// Where the web view gets the components its pages embed: a new playback control for each
// playback control page, a new player for each player element. Objects come back owned
// (released through their own Release). User-interface thread only.

#include "controls/abi/component.h"

#include <memory>
#include <string>

namespace kinvo::web {

struct ComponentRelease {
    void operator()(component::PlaybackControl* control) const noexcept { control->Release(); }
    void operator()(component::MediaPlayer* player) const noexcept { player->Release(); }
};
using ControlPtr = std::unique_ptr<component::PlaybackControl, ComponentRelease>;
using PlayerPtr = std::unique_ptr<component::MediaPlayer, ComponentRelease>;

class ComponentFactory {
  public:
    virtual ~ComponentFactory() = default;
    // Never null: without the control's library, a control that plays nothing.
    virtual ControlPtr createPlaybackControl() = 0;
    // classId without braces or "clsid:"; null when no installed component serves it.
    virtual PlayerPtr createPlayer(const std::string& classId) = 0;
};

}  // namespace kinvo::web
