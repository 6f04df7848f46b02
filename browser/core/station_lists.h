#pragma once
// The main window's four lists: the visible station list, its hidden companion (address ->
// notes and rating, never sorted, matched by address), the favorites and a scratch list.

#include "browser/core/sb_list.h"

namespace kinvo {

struct StationLists {
    SBList lstStations;
    SBList lstStations2;
    SBList lstFavorites;
    SBList lstTemp;
};

}  // namespace kinvo
