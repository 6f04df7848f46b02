#include "browser/core/web_links.h"

#include "browser/core/texts.h"

#include <QUrl>

namespace kinvo {
namespace {

std::string page(std::string_view site, std::string_view path) {
    return std::string(site).append(path);
}

// Bytes a query value may carry as they are.
bool keptAsIs(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view("-._~!$'()*,;:@/?").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

// value as a query value: blanks as "+", what would end or break the query percent-encoded.
std::string appendQueryValue(std::string address, std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ' ') {
            address.push_back('+');
        } else if (keptAsIs(c)) {
            address.push_back(ch);
        } else {
            address.push_back('%');
            address.push_back(kHex[c >> 4]);
            address.push_back(kHex[c & 0xf]);
        }
    }
    return address;
}

}  // namespace

std::string vendorSite(std::string_view discoveryAddress) {
    const QUrl url(
        QString::fromUtf8(discoveryAddress.data(), static_cast<qsizetype>(discoveryAddress.size())),
        QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
        return {};
    }
    return url
        .adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                  QUrl::RemoveFragment)
        .toString(QUrl::FullyEncoded)
        .toStdString();
}

std::string helpAddress(std::string_view site) {
    return page(site, texts::kQuickHelpPath);
}

std::string supportAddress(std::string_view site) {
    return page(site, wire::kSupportPath);
}

std::string visitAddress(std::string_view site) {
    return page(site, wire::kAboutRequest).append(texts::kProductCode);
}

std::string rateAddress(std::string_view site, std::string_view stationName) {
    return appendQueryValue(page(site, wire::kRateRequest), stationName);
}

std::string sponsorAddress(std::string_view site, std::string_view term) {
    std::string address = page(site, wire::kMoreResultsPath);
    address.append(wire::kQueryStart).append(wire::kRequestKey).append(wire::kIs);
    return appendQueryValue(std::move(address), term);
}

}  // namespace kinvo
