#pragma once
// The search as a web page: what the video search's "More Results" link opens in the user's
// web browser. GET /search.asp?T1=<term, blanks as "+">[&MINBPS=..][&MAXBPS=..] lists the
// matching stations, best first, each linked to its address and its rating page, under a form
// to search again. The page cannot know the viewer's adult lock, so it never lists a station
// the lock would hide.
//
// Errors: DbError from the store passes through (Responder answers with its error page).

#include <string>

#include "dataserver/server/query.h"
#include "dataserver/server/server_settings.h"
#include "dataserver/store/catalogue.h"

namespace kinvo::ds {

std::string searchPage(Catalogue& catalogue, const Query& query, const ServerSettings& settings);

}  // namespace kinvo::ds
