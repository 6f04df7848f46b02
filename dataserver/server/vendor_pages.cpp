#include "dataserver/server/vendor_pages.h"

#include <algorithm>
#include <charconv>

#include "catalogue/request_texts.h"
#include "dataserver/listformat/field_rules.h"
#include "dataserver/server/catalogue_answers.h"
#include "dataserver/server/form_text.h"
#include "dataserver/server/html.h"
#include "dataserver/server/texts.h"

namespace kinvo::ds {

namespace {

constexpr int kPickLimit = 20;
constexpr std::size_t kMaxFormName = 100;
constexpr std::size_t kMaxFormEmail = 200;
constexpr std::size_t kMaxFormSubject = 200;
// The whole form must stay below the server's limit for form bodies (kMaxFormBody, 8 KB).
constexpr std::size_t kMaxFormMessage = 4000;

std::optional<std::int64_t> wholeNumber(const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    auto [p, ec] = std::from_chars(text->data(), text->data() + text->size(), v);
    if (ec != std::errc() || p != text->data() + text->size()) {
        return std::nullopt;
    }
    return v;
}

std::string notice(std::string_view text) {
    return "<p class=\"notice\">" + htmlEscape(text) + "</p>";
}

std::string ratingForm(const StationListing& s, std::string_view noticeHtml,
                       std::string_view notes) {
    std::string id = std::to_string(s.id);
    std::string count = std::to_string(s.listenerRatings);
    std::string rating = shownRating(s);
    return framePage(texts::kRateTitle,
                     fillTemplate(texts::kRateBody, {{"name", s.name},
                                                     {"category", s.category},
                                                     {"count", count},
                                                     {"rating", rating},
                                                     {"notice", noticeHtml, true},
                                                     {"id", id},
                                                     {"notes", notes}}));
}

// The popular list shows names as "Name (12)"; the rating link then carries that text.
std::string withoutCount(std::string_view name) {
    if (name.size() < 4 || name.back() != ')') {
        return std::string(name);
    }
    std::size_t open = name.rfind(" (");
    if (open == std::string_view::npos) {
        return std::string(name);
    }
    std::string_view digits = name.substr(open + 2, name.size() - open - 3);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::string(name);
    }
    return std::string(name.substr(0, open));
}

}  // namespace

std::string helpPage() {
    return framePage(texts::kHelpTitle, texts::kHelpBody);
}

std::string aboutPage(Catalogue& catalogue, const ServerSettings& settings) {
    std::vector<std::string> names = catalogue.categoryNames();
    std::string s = std::to_string(catalogue.stationCount());
    std::string c = std::to_string(names.size());
    return framePage(
        texts::kAboutTitle,
        fillTemplate(texts::kAboutBody,
                     {{"stations", s}, {"categories", c}, {"version", settings.minVersion}}));
}

std::string playerHelpPage(std::string_view which) {
    if (which == "qt") {
        return framePage(texts::kQuickTimeTitle, texts::kQuickTimeBody);
    }
    if (which == "microsoft") {
        return framePage(texts::kWindowsMediaTitle, texts::kWindowsMediaBody);
    }
    return framePage(texts::kRealPlayerTitle, texts::kRealPlayerBody);
}

std::string indexPage(Catalogue& catalogue) {
    std::string items;
    for (const std::string& n : catalogue.categoryNames()) {
        items += fillTemplate(texts::kIndexItem, {{"name", n}});
    }
    return framePage(texts::kIndexTitle, fillTemplate(texts::kIndexBody, {{"items", items, true}}));
}

std::string notFoundPage() {
    return framePage(texts::kNotFoundTitle, texts::kNotFoundBody);
}

std::string serverErrorPage() {
    return framePage(texts::kServerErrorTitle, texts::kServerErrorBody);
}

std::string supportForm() {
    return framePage(
        texts::kSupportTitle,
        fillTemplate(
            texts::kSupportBody,
            {{"notice", ""}, {"name", ""}, {"email", ""}, {"subject", ""}, {"message", ""}}));
}

PageReply supportPost(Catalogue& catalogue, const Query& form, std::string_view remote,
                      std::int64_t now) {
    struct FormField {
        const char* key;
        std::string* value;
        std::size_t maxLength;
        bool multiline;
    };
    SupportMessage m;
    const FormField fields[] = {{"name", &m.name, kMaxFormName, false},
                                {"email", &m.email, kMaxFormEmail, false},
                                {"subject", &m.subject, kMaxFormSubject, false},
                                {"message", &m.body, kMaxFormMessage, true}};
    m.remote.assign(remote);
    m.sentAt = now;
    std::string_view problem;
    for (const FormField& f : fields) {
        // Query drops values longer than its own bound; a present but dropped field is too long.
        bool dropped = form.has(f.key) && !form.value(f.key);
        *f.value = form.value(f.key).value_or("");
        if (dropped || f.value->size() > f.maxLength) {
            problem = texts::kSupportTooLong;
        } else if (problem.empty() && formTextProblem(*f.value, f.multiline)) {
            problem = texts::kSupportBadText;
        }
    }
    if (problem.empty() && m.body.find_first_not_of(" \t\r\n") == std::string::npos) {
        problem = texts::kSupportNeedsMessage;
    }
    if (!problem.empty()) {
        // What was typed goes back into the form, its unusable bytes shown as escapes.
        std::string n = notice(problem);
        std::string name = terminalText(m.name), email = terminalText(m.email),
                    subject = terminalText(m.subject), body = terminalText(m.body, true);
        return {400, framePage(texts::kSupportTitle,
                               fillTemplate(texts::kSupportBody, {{"notice", n, true},
                                                                  {"name", name},
                                                                  {"email", email},
                                                                  {"subject", subject},
                                                                  {"message", body}}))};
    }
    // Browsers send a text area's line ends as CR LF; stored as LF.
    std::string body;
    for (std::size_t i = 0; i < m.body.size(); ++i) {
        if (!(m.body[i] == '\r' && i + 1 < m.body.size() && m.body[i + 1] == '\n')) {
            body += m.body[i];
        }
    }
    m.body = std::move(body);
    std::string number = std::to_string(catalogue.addSupportMessage(m));
    return {200, framePage(texts::kSupportThanksTitle,
                           fillTemplate(texts::kSupportThanksBody, {{"number", number}}))};
}

PageReply ratingPage(Catalogue& catalogue, const Query& query) {
    if (auto id = wholeNumber(query.value("ID"))) {
        if (auto s = catalogue.station(*id)) {
            return {200, ratingForm(*s, "", "")};
        }
    }
    std::vector<StationListing> found;
    std::string name;
    // The browser appends the shown name unescaped with its blanks as "+"; a web browser
    // opening the link escapes other bytes. A "+" reads as a blank, or else as itself (names
    // may hold one).
    if (auto sent = query.rest(wire::kStationNameKey)) {
        name = percentDecode(*sent, true);
        auto plusForm = [](std::string text) {
            std::replace(text.begin(), text.end(), ' ', '+');
            return text;
        };
        for (const std::string& candidate : {name, withoutCount(name)}) {
            if (!candidate.empty() && found.empty()) {
                found = catalogue.stationsNamed(candidate, kPickLimit);
            }
            if (!candidate.empty() && found.empty()) {
                found = catalogue.stationsNamedWithPlus(plusForm(candidate), kPickLimit);
            }
        }
        if (found.empty() && !name.empty()) {
            // A "#" in a name cuts the link short; offer what starts the same way.
            found = catalogue.stationsNamedFrom(name, kPickLimit);
        }
    }
    if (found.size() == 1) {
        return {200, ratingForm(found.front(), "", "")};
    }
    std::string items;
    for (const StationListing& s : found) {
        std::string id = std::to_string(s.id);
        items += fillTemplate(texts::kRatePickItem,
                              {{"id", id}, {"name", s.name}, {"category", s.category}});
    }
    // Every name gets a page the user can read, found or not; the name shows escaped.
    std::string intro = !found.empty() ? htmlEscape(texts::kRatePickIntro)
                        : name.empty() ? htmlEscape(texts::kRateNoName)
                                       : fillTemplate(texts::kRateNoneFound, {{"name", name}});
    return {200, framePage(texts::kRatePickTitle,
                           fillTemplate(texts::kRatePickBody,
                                        {{"intro", intro, true}, {"items", items, true}}))};
}

PageReply ratingPost(Catalogue& catalogue, const Query& form, std::int64_t now) {
    auto id = wholeNumber(form.value("id"));
    std::optional<StationListing> station;
    if (id) {
        station = catalogue.station(*id);
    }
    if (!station) {
        return ratingPage(catalogue, Query::parse(""));
    }
    auto rating = wholeNumber(form.value("rating"));
    std::string notes = form.value("notes").value_or("");
    // Browsers send a textarea's line ends as CR LF; the list shows one line.
    for (char& c : notes) {
        if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    while (!notes.empty() && notes.back() == ' ') {
        notes.pop_back();
    }
    if (!rating || *rating < 0 || *rating > 5) {
        return {400, ratingForm(*station, notice(texts::kRateBadRating), notes)};
    }
    if (form.has("notes") && !form.value("notes")) {
        return {400, ratingForm(*station, notice(texts::kSupportTooLong), "")};
    }
    if (!notes.empty()) {
        if (auto why = fieldProblem(Field::Notes, notes)) {
            std::string text = fillTemplate(texts::kRateBadNotes, {{"why", *why}});
            return {400, ratingForm(*station, "<p class=\"notice\">" + text + "</p>", notes)};
        }
    }
    catalogue.addRating(station->id, static_cast<int>(*rating), notes, now);
    auto updated = catalogue.station(station->id);
    std::string shown = updated ? shownRating(*updated) : std::to_string(*rating);
    std::string sid = std::to_string(station->id);
    return {200,
            framePage(texts::kRateThanksTitle,
                      fillTemplate(texts::kRateThanksBody,
                                   {{"name", station->name}, {"rating", shown}, {"id", sid}}))};
}

}  // namespace kinvo::ds
