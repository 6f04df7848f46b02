#include "catalogue/station_record.h"

#include "catalogue/catalogue_texts.h"

namespace kinvo {

std::string StationTag(const StationRecord& station) {
    std::string tag;
    tag.reserve(station.infoText.size() + station.extraText.size() + station.address.size() +
                station.timeText.size() + 9);
    tag.append(station.infoText)
        .append(texts::kTagExtra)
        .append(station.extraText)
        .append(texts::kTagAddress)
        .append(station.address)
        .append(texts::kTagTime)
        .append(station.timeText);
    return tag;
}

std::optional<StationTagFields> SplitStationTag(std::string_view tag) {
    const std::size_t addressMark = tag.find(texts::kTagAddress);
    if (addressMark == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t addressStart = addressMark + texts::kTagAddress.size();
    const std::size_t timeMark = tag.find(texts::kTagTime, addressStart);
    if (timeMark == std::string_view::npos) {
        return std::nullopt;
    }
    StationTagFields fields;
    const std::string_view head = tag.substr(0, addressMark);
    const std::size_t extraMark = head.find(texts::kTagExtra);
    if (extraMark == std::string_view::npos) {
        fields.infoText = head;
    } else {
        fields.infoText = head.substr(0, extraMark);
        fields.extraText = head.substr(extraMark + texts::kTagExtra.size());
    }
    fields.address = tag.substr(addressStart, timeMark - addressStart);
    fields.timeText = tag.substr(timeMark + texts::kTagTime.size());
    return fields;
}

}  // namespace kinvo
