#pragma once
// The volume of the sound server's default sink. The left level goes to the sink's left-side
// channels, the right level to its right-side ones, and channels of neither side take the
// louder of the two. Errors as in connection.h.

#include "lib/pulse/connection.h"

#include <pulse/volume.h>

namespace kinvo::pulse {

// Reads the default sink's channel map, then sets its volume; Failed when there is no default
// sink or the server refuses the change.
Status setDefaultSinkVolume(Connection& connection, pa_volume_t left, pa_volume_t right,
                            Clock::time_point deadline);

}  // namespace kinvo::pulse
