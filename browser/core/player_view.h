#pragma once
// What the player page changes on the main window besides Web1. The window implements it with
// widgets; tests and the headless entry with plain records. User-interface thread only.

namespace kinvo {

class PlayerView {
  public:
    virtual ~PlayerView() = default;

    // frameStations and lstStations visible, lstStations with the keyboard focus.
    virtual void showStationList() = 0;
    // Hides the status label lblStat.
    virtual void hideStatLabel() = 0;
    // The main window's layout routine (Form_Resize).
    virtual void layOut() = 0;
};

}  // namespace kinvo
