#include "dataserver/server/search_page.h"

#include <algorithm>
#include <cctype>

#include "catalogue/catalogue_entries.h"
#include "catalogue/request_texts.h"
#include "dataserver/server/catalogue_answers.h"
#include "dataserver/server/html.h"
#include "dataserver/server/search_terms.h"
#include "dataserver/server/texts.h"

namespace kinvo::ds {

namespace {

// The adult lock's setting that hides adult stations.
constexpr std::int64_t kAdultLocked = 0;

// Only addresses a web browser hands to a player become links; any other scheme (a
// "javascript:" one above all) is shown as text.
bool linkable(std::string_view address) {
    for (std::string_view scheme :
         {"http://", "https://", "mms://", "mmsh://", "rtsp://", "rtmp://"}) {
        if (address.size() >= scheme.size() &&
            std::equal(scheme.begin(), scheme.end(), address.begin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
            })) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string searchPage(Catalogue& catalogue, const Query& query, const ServerSettings& settings) {
    std::string term = query.value(wire::kRequestKey).value_or("");
    std::string match = ftsQueryFor(term);
    std::string items;
    std::size_t count = 0;
    if (!match.empty()) {
        for (const StationListing& s :
             catalogue.search(match, bandwidthFilter(query), settings.searchLimit)) {
            if (!passesAdultFilter(s.name, kAdultLocked)) {
                continue;
            }
            std::string kbps = std::to_string(s.bandwidth);
            std::string bandwidth = s.bandwidth == 0
                                        ? std::string(texts::kSearchUnknownBandwidth)
                                        : fillTemplate(texts::kSearchBandwidth, {{"kbps", kbps}});
            std::string id = std::to_string(s.id);
            items += fillTemplate(linkable(s.address) ? texts::kSearchItem : texts::kSearchTextItem,
                                  {{"address", s.address},
                                   {"name", s.name},
                                   {"category", s.category},
                                   {"info", s.info},
                                   {"bandwidth", bandwidth},
                                   {"id", id}});
            ++count;
        }
    }
    std::string n = std::to_string(count);
    std::string summary = match.empty() ? htmlEscape(texts::kSearchNoTerm)
                          : count == 0
                              ? fillTemplate(texts::kSearchNoneFound, {{"term", term}})
                              : fillTemplate(texts::kSearchFound, {{"term", term}, {"count", n}});
    return framePage(
        texts::kSearchTitle,
        fillTemplate(texts::kSearchBody,
                     {{"term", term}, {"summary", summary, true}, {"items", items, true}}));
}

}  // namespace kinvo::ds
