#pragma once
// What the catalogue routines change on the main window besides its lists and category box.
// The window implements it with widgets; the headless listing and tests with plain records.
// Calls come from the user-interface thread.

#include <string_view>

namespace kinvo {

class CatalogueView {
  public:
    virtual ~CatalogueView() = default;

    virtual void setWindowEnabled(bool enabled) = 0;
    // The hourglass pointer on (true) or the normal pointer back (false); not counted.
    virtual void setBusy(bool busy) = 0;
    virtual void setStatText(std::string_view text) = 0;       // lblStat
    virtual void setStationsText(std::string_view text) = 0;   // lblStations
    virtual void setBandwidthText(std::string_view text) = 0;  // lblBandwidth
    virtual void setRateFrameVisible(bool visible) = 0;        // frameRate
    virtual void setRateButtonVisible(bool visible) = 0;       // picRate with its label Label4
    virtual void setPlayTimeVisible(bool visible) = 0;         // lblLen; visible = search mode
    virtual bool playTimeVisible() const = 0;
    virtual void setPlayTimeText(std::string_view text) = 0;  // lblLen's caption
    virtual void setStationListVisible(bool visible) = 0;
    virtual void setStationListHeight(int twips) = 0;
    // Opens the video search dialog modally; returns when it has closed.
    virtual void openVideoSearch() = 0;
    // Lays the window out for its current size.
    virtual void layOut() = 0;
};

}  // namespace kinvo
