#pragma once
// The player page as text: the page colour, the choice of player by address, the player texts,
// and the filling of the page's placeholders. Pure functions on bytes; they never fail.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kinvo {

enum class Player { Flash, QuickTime, WindowsMedia, PlaybackControl, RealPlayer };

// The six hexadecimal digits red, green, blue of a colour number whose low byte is red (HTML's
// order). A setting that is not a number (nullopt) gives 000000; only the low 24 bits count.
std::string pageColour(std::optional<std::int64_t> colourNumber);

// The player for a decoded address; the first rule that matches decides (case is ignored).
Player choosePlayer(std::string_view decodedAddress);

// The address for the playback control page: cut before its last "?", if it has one.
std::string_view controlPageAddress(std::string_view decodedAddress);

// The address as it goes into the page's attributes and script string: '"', '<', '>', '\' and
// bytes below 0x21, which a valid address never holds, are written as %XX (upper-case hex), so
// a catalogue entry cannot break out of an attribute or the script string. Every other byte
// stays as it is.
std::string escapePageAddress(std::string_view address);

// Half of (100 - zoomPercent) as the shortest decimal, followed by "%": 33.5% at 33, 25% at 50.
// zoomPercent lies in 0..100.
std::string halfHeightText(int zoomPercent);

struct PageValues {
    Player player = Player::RealPlayer;
    std::string address;   // decoded (and for the control page cut), not yet escaped
    std::string colour;    // pageColour
    int zoomPercent = 50;  // 33, 50, 75 or 100
    bool showControls = false;
    std::string dataServer;  // host of the download addresses
};

// The player text for %OBJ% (empty for the playback control page).
std::string playerText(const PageValues& values);

// The whole page, filled, without the CR LF that ends the file.
std::string playerPage(const PageValues& values);

}  // namespace kinvo
