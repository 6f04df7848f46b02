#include "dataserver/server/responder.h"

#include <cctype>

#include "catalogue/request_texts.h"
#include "dataserver/server/catalogue_answers.h"
#include "dataserver/server/query.h"
#include "dataserver/server/search_page.h"
#include "dataserver/server/vendor_pages.h"

namespace kinvo::ds {

namespace {

constexpr std::string_view kText = "text/plain";
constexpr std::string_view kList = "text/html";
constexpr std::string_view kPage = "text/html; charset=utf-8";

bool isBrowserRoute(const std::string& path) {
    return path == wire::kDiscoveryPath || path == wire::kVersionPath ||
           path == wire::kCataloguePath;
}

Reply page(int status, std::string html) {
    return Reply{status, std::string(kPage), std::move(html), {}};
}

}  // namespace

Responder::Responder(ConnectionPool& pool, CachedAnswers& answers, ServerSettings settings,
                     ErrorSink errors, Clock clock)
    : pool_(pool),
      answers_(answers),
      settings_(std::move(settings)),
      errors_(std::move(errors)),
      clock_(std::move(clock)) {}

std::string Responder::normalisedPath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

Reply Responder::respond(const Request& request) const noexcept {
    std::string path;
    try {
        path = normalisedPath(request.path);
        return dispatch(request, path);
    } catch (const std::exception& e) {
        try {
            if (errors_) {
                errors_(e.what());
            }
            if (isBrowserRoute(path)) {
                return Reply{200, std::string(kText), std::string(), {}};
            }
            return page(503, serverErrorPage());
        } catch (...) {
        }
    } catch (...) {
    }
    // Only an allocation failure gets here.
    return Reply{503, std::string(kText), std::string(), {}};
}

Reply Responder::dispatch(const Request& request, const std::string& path) const {
    Query query = Query::parse(request.query);
    bool post = request.method == "POST";
    if (path == wire::kDiscoveryPath) {
        return Reply{200, std::string(kText), discoveryAnswer(settings_), {}};
    }
    if (path == wire::kVersionPath) {
        return Reply{200, std::string(kText), versionAnswer(query, settings_), {}};
    }
    if (path == wire::kCataloguePath) {
        SharedBody body = answers_.answer(query, clock_());
        bool list = body->starts_with("<");
        return Reply{200, std::string(list ? kList : kText), std::string(), std::move(body)};
    }
    if (path == wire::kQuickHelpPath) {
        return page(200, helpPage());
    }
    if (path == wire::kQuickTimeHelpPath || path == wire::kWindowsMediaHelpPath ||
        path == wire::kRealPlayerHelpPath) {
        return page(200, playerHelpPage(path.substr(1, path.size() - 5)));
    }
    if (path == wire::kAboutPath) {
        auto db = pool_.acquire();
        return page(200, aboutPage(*db, settings_));
    }
    if (path == wire::kSupportPath) {
        if (!post) {
            return page(200, supportForm());
        }
        auto db = pool_.acquire();
        PageReply r = supportPost(*db, Query::parse(request.body), request.remote, clock_());
        return page(r.status, std::move(r.html));
    }
    if (path == wire::kRatePath) {
        auto db = pool_.acquire();
        PageReply r =
            post ? ratingPost(*db, Query::parse(request.body), clock_()) : ratingPage(*db, query);
        return page(r.status, std::move(r.html));
    }
    if (path == wire::kMoreResultsPath) {
        auto db = pool_.acquire();
        return page(200, searchPage(*db, query, settings_));
    }
    if (path == "/" || path == "/index.htm") {
        auto db = pool_.acquire();
        return page(200, indexPage(*db));
    }
    return page(404, notFoundPage());
}

}  // namespace kinvo::ds
