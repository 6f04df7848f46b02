#pragma once
// The station list's four events (item click, double click, key down, key press) and the
// Stations menu entry, which shows and hides the station frame. The window forwards the list's
// events here and acts on the answers.
// User-interface thread only.

#include <Qt>

#include <functional>

namespace kinvo {

class Favorites;
class InputBox;
class StationView;
struct StationLists;

class StationListEvents {
  public:
    struct Parts {
        StationLists& lists;
        StationView& view;
        // Starts the current station (StationStarter::start).
        std::function<void()> start;
        Favorites& favorites;
        InputBox& inputBox;
    };

    explicit StationListEvents(Parts parts) : p_(std::move(parts)) {}

    // Shows the current station's details.
    void itemClick();
    // Starts the current station.
    void doubleClick();
    // Runs the key-down table; true when the list control may act on the key.
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Runs the key-press table for a typed character; true when the list control may act on it.
    bool keyPress(int character);
    // menuStations: hides a shown station frame, or shows it with the list and focuses the list.
    void menuStations();

  private:
    Parts p_;
};

}  // namespace kinvo
