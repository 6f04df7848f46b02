#include "browser/core/browser_options.h"

#include "browser/core/texts.h"

#include <QUrl>

namespace kinvo {

ParsedOptions parseBrowserOptions(const std::vector<std::string>& args) {
    BrowserOptions options;
    options.discoveryAddress = texts::kDefaultDiscoveryAddress;
    std::optional<ConnectTarget> explicitTarget;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name != "--discovery" && name != "--connect-to" && name != "--print-category" &&
            name != "--search" && name != "--player-page" && name != "--play" && name != "--zoom" &&
            name != "--category") {
            return {std::nullopt, "unknown option " + name};
        }
        if (i + 1 >= args.size()) {
            return {std::nullopt, name + " needs a value"};
        }
        const std::string& value = args[++i];
        if (name == "--discovery") {
            options.discoveryAddress = value;
        } else if (name == "--connect-to") {
            explicitTarget = ConnectTarget::parse(value);
            if (!explicitTarget) {
                return {std::nullopt, "--connect-to wants HOST:PORT, not " + value};
            }
        } else if (name == "--print-category") {
            options.printCategory = value;
        } else if (name == "--search") {
            options.search = value;
        } else if (name == "--player-page") {
            options.playerPage = value;
        } else if (name == "--play") {
            options.play = value;
        } else if (name == "--category") {
            options.category = value;
        } else if (value == "33" || value == "50" || value == "75" || value == "100") {
            options.zoomPercent = std::stoi(value);
        } else {
            return {std::nullopt, "--zoom wants 33, 50, 75 or 100, not " + value};
        }
    }
    const QUrl discovery =
        QUrl::fromEncoded(QByteArray::fromStdString(options.discoveryAddress), QUrl::TolerantMode);
    if (!discovery.isValid() || discovery.host().isEmpty()) {
        return {std::nullopt,
                "--discovery wants an http:// address, not " + options.discoveryAddress};
    }
    if (explicitTarget) {
        options.connectTo = *explicitTarget;
    } else {
        const quint16 port = static_cast<quint16>(discovery.port(80));
        options.connectTo = ConnectTarget{discovery.host(), port, discovery.host()};
    }
    return {options, {}};
}

}  // namespace kinvo
