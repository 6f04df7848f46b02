#pragma once
// The vendor's web pages the browser opens in the user's own web browser: help, support, the
// vendor's page, a station's rating page and the video search's sponsor page. The vendor's web
// server is the one that answers the discovery address, so every page is on the discovery
// address's own scheme, host and port. Pure.

#include <string>
#include <string_view>

namespace kinvo {

// "scheme://host[:port]" of an absolute address; empty when address is not one.
std::string vendorSite(std::string_view discoveryAddress);

std::string helpAddress(std::string_view site);     // "/help/kinvo/index.htm"
std::string supportAddress(std::string_view site);  // "/mailform.htm"
std::string visitAddress(std::string_view site);    // "/about.asp?P=T"
// "/kinvorate.asp?S=" + the station's name as the browser sends names: every blank becomes "+".
// A byte that would end or break the query ("&", "#", "+", "%", controls, non-ASCII) is sent
// percent-encoded, so the page always receives the whole name.
std::string rateAddress(std::string_view site, std::string_view stationName);
// The "More Results" link of the video search: the vendor's search page for the term in the box
// ("/search.asp?T1=" + the term, sent as a station name is).
std::string sponsorAddress(std::string_view site, std::string_view term);

}  // namespace kinvo
