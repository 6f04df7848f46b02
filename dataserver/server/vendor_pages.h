#pragma once
// The vendor pages the browser opens in the user's web browser: quick guide, support form,
// about, station rating, the three player help pages and the service's front page. The
// support and rating forms store what they are sent.
//
// Errors: DbError from the store passes through (Responder answers with its error page).

#include <cstdint>
#include <string>

#include "dataserver/server/query.h"
#include "dataserver/server/server_settings.h"
#include "dataserver/store/catalogue.h"

namespace kinvo::ds {

struct PageReply {
    int status = 200;
    std::string html;
};

std::string helpPage();
std::string aboutPage(Catalogue& catalogue, const ServerSettings& settings);
std::string playerHelpPage(std::string_view which);  // "qt", "microsoft" or "real"
std::string indexPage(Catalogue& catalogue);
std::string notFoundPage();
std::string serverErrorPage();

std::string supportForm();
// `form` is the posted body (application/x-www-form-urlencoded).
PageReply supportPost(Catalogue& catalogue, const Query& form, std::string_view remote,
                      std::int64_t now);

// GET with S=<station name as shown, blanks as "+"> (or ID=<station id> from the page's own
// links): the form for the one station of that name, else a page to choose one or saying that
// none goes by it; 200 for any name.
PageReply ratingPage(Catalogue& catalogue, const Query& query);
PageReply ratingPost(Catalogue& catalogue, const Query& form, std::int64_t now);

}  // namespace kinvo::ds
