#pragma once
// What the station list's handlers change on the main window: the station frame and list, the
// status label, the caption and the detail labels. The window implements it with widgets, tests
// with plain records. Calls come from the user-interface thread.

#include <string_view>

namespace kinvo {

class StationView {
  public:
    virtual ~StationView() = default;

    virtual bool stationFrameVisible() const = 0;  // frameStations
    virtual void setStationFrameVisible(bool visible) = 0;
    virtual void setStationListVisible(bool visible) = 0;  // lstStations
    virtual void focusStationList() = 0;

    virtual void setStatText(std::string_view text) = 0;  // lblStat
    // The station list's count, "N Items".
    virtual void setStationsText(std::string_view text) = 0;  // lblStations
    virtual void setStatVisible(bool visible) = 0;
    virtual void setCaption(std::string_view text) = 0;  // the main window's title

    virtual bool playTimeVisible() const = 0;  // lblLen; visible = search mode
    virtual void setPlayTimeText(std::string_view text) = 0;
    virtual void setBandwidthText(std::string_view text) = 0;  // lblBandwidth
    virtual void setNotesText(std::string_view text) = 0;      // lblNotes
    // Shows rating marks 0 to shown - 1 of pr1 and hides the others.
    virtual void setRatingMarks(int shown) = 0;

    // Sends an F2 key stroke (press and release) to the window that is active.
    virtual void sendF2ToActiveWindow() = 0;
    // Lays the window out for its current size.
    virtual void layOut() = 0;
};

}  // namespace kinvo
