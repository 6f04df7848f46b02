#pragma once
// What tells one kind of player component from another: its identifiers, its probe object, the
// element parameters it reads and how it rewrites the address. Each component library holds one
// constant record; everything else is shared (controls/player/media_player.h). The functions
// below are pure: any thread, nothing thrown but std::bad_alloc.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kinvo::controls {

struct PlayerKind {
    std::string_view classId;      // without braces, compared without regard to case
    std::string_view progId;       // the probe object's programmatic identifier
    std::string_view probeMember;  // the member the page asks it
    // The probe's answer for the program folder; "" when the member fails.
    std::string (*probe)(const std::string& programFolder);
    std::string_view addressParam;    // the parameter that holds the address
    std::string_view autostartParam;  // read as a flag (see isTrue)
    bool autostartDefault;            // when the element has no such parameter
    std::string_view controlsParam;
    // Whether the controls parameter's value asks for a control bar.
    bool (*showsControls)(std::string_view value);
    // The playlist entries for the address, tried in order; null: the address alone.
    std::vector<std::string> (*addresses)(std::string_view address);
};

// An element's parameters in the order the page wrote them.
using ElementParams = std::vector<std::pair<std::string, std::string>>;

// What a player makes of its element.
struct PlayerSetup {
    std::vector<std::string> addresses;  // empty: nothing to play
    bool autostart = false;
    bool showsControls = false;
};

PlayerSetup resolveSetup(const PlayerKind& kind, const ElementParams& params);

// Shared rules of the parameters.
bool equalsNoCase(std::string_view a, std::string_view b);
bool containsNoCase(std::string_view text, std::string_view part);
// "1", "-1", "true", "yes", "on" (any case, blanks around ignored).
bool isTrue(std::string_view value);
// An "mms://" address, then the same address over "http://"; any other address alone.
std::vector<std::string> mmsRollover(std::string_view address);

}  // namespace kinvo::controls
