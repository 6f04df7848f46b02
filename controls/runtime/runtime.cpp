// The shared runtime of the component libraries holds no code of its own: everything in it comes
// from the static libraries it links whole (see CMakeLists.txt).
#include "controls/engine/playback_engine.h"
#include "controls/player/player_library.h"
