#pragma once
// extract, which reads a catalogue document (see catalogue_entries.h for its format) into the
// station lists.

#include "catalogue/catalogue_entries.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace kinvo {

class SBList;

struct ExtractOptions {
    ExtractMode mode = ExtractMode::Catalogue;
    // "AdultSettings" read as a whole number; nullopt when the stored text is not one.
    std::optional<std::int64_t> adultSettings = 1;
    // Checked before every entry; the parse ends when it is set. May be null.
    const bool* stopRequested = nullptr;
    // Lets pending window events run; called twice per entry. May be empty.
    std::function<void()> letEventsRun;
};

// Reads document into the lists. Catalogue mode first clears both lists, then adds each station
// that passes the adult filter to lstStations (text name, tag StationTag, number bandwidth) and
// to lstStations2 (text address, tag notes + "||" + rating). Search mode clears nothing and adds
// to lstStations only stations whose address no tag there contains yet.
// document must stay unchanged while extract runs (the events it lets run may fetch: pass a
// copy of documentText).
void extract(std::string_view document, SBList& lstStations, SBList& lstStations2,
             const ExtractOptions& options);

}  // namespace kinvo
