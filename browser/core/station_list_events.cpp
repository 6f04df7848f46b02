#include "browser/core/station_list_events.h"

#include "browser/core/favorites.h"
#include "browser/core/input_box.h"
#include "browser/core/station_details.h"
#include "browser/core/station_list_keys.h"
#include "browser/core/station_lists.h"
#include "browser/core/station_view.h"
#include "catalogue/station_record.h"

#include <optional>

namespace kinvo {

void StationListEvents::itemClick() {
    const SBList& lstStations = p_.lists.lstStations;
    const std::optional<StationDetails> details = stationDetails(
        lstStations, lstStations.currentIndex(), p_.lists.lstStations2, p_.view.playTimeVisible());
    if (!details) {
        return;
    }
    if (details->playTime) {
        p_.view.setPlayTimeText(*details->playTime);
    }
    p_.view.setBandwidthText(details->bandwidth);
    p_.view.setNotesText(details->notes);
    p_.view.setRatingMarks(details->ratingMarks);
}

void StationListEvents::doubleClick() {
    p_.start();
}

bool StationListEvents::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    const KeyDownAction action = stationListKeyDown(key, modifiers);
    switch (action) {
        case KeyDownAction::ShowAddress: {
            const SBList& lstStations = p_.lists.lstStations;
            const int current = lstStations.currentIndex();
            if (current >= 0 && current < lstStations.count()) {
                // The address as the tag holds it, still shifted; the answer is not used.
                const std::optional<StationTagFields> fields =
                    SplitStationTag(lstStations.tag(current));
                const std::string address = fields ? fields->address : std::string();
                p_.inputBox.ask(address, address, address);
            }
            break;
        }
        case KeyDownAction::RemoveFavorite:
            p_.favorites.remove();
            break;
        case KeyDownAction::AddFavorite:
            p_.favorites.add();
            break;
        case KeyDownAction::Clear:
            break;
    }
    return keyDownPassesOn(action);
}

bool StationListEvents::keyPress(int character) {
    switch (stationListKeyPress(character)) {
        case KeyPressAction::Start:
            p_.start();
            return false;
        case KeyPressAction::SendF2:
            p_.view.sendF2ToActiveWindow();
            return false;
        case KeyPressAction::SelectAll:
            p_.lists.lstStations.selectAll();
            return false;
        case KeyPressAction::PassOn:
            return true;
        case KeyPressAction::Drop:
            return false;
    }
    return false;
}

void StationListEvents::menuStations() {
    if (p_.view.stationFrameVisible()) {
        p_.view.setStationFrameVisible(false);
        p_.view.layOut();
        return;
    }
    p_.view.setStationFrameVisible(true);
    p_.view.setStationListVisible(true);
    p_.view.focusStationList();
}

}  // namespace kinvo
