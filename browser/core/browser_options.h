#pragma once
// The browser's command line:
//   --discovery URL          the discovery address (default http://127.0.0.1:8639/redirect35.asp)
//   --connect-to HOST:PORT   connect every data-server request there; address and Host header
//                            stay as built. Without it, a data server on the discovery address's
//                            own host is reached through the discovery address's port (the
//                            discovered name carries no port, and port 80 needs privileges).
//   --print-category NAME    no window: discover, choose the category, print its stations.

#include "doc_fetcher.h"

#include <optional>
#include <string>
#include <vector>

namespace kinvo {

struct BrowserOptions {
    std::string discoveryAddress;
    ConnectTarget connectTo;  // where data-server requests go (see above)
    std::optional<std::string> printCategory;
};

struct ParsedOptions {
    std::optional<BrowserOptions> options;  // nullopt on a usage error
    std::string error;                      // the message for a usage error
};

// args are the arguments after the program name, as bytes.
ParsedOptions parseBrowserOptions(const std::vector<std::string>& args);

}  // namespace kinvo
