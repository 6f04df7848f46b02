#pragma once
// The streaming player component's kind.
#include "controls/player/player_kind.h"

namespace kinvo::controls {
extern const PlayerKind kStreamingPlayerKind;
}
