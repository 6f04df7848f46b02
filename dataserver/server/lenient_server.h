#pragma once
// cpp-httplib's server, with one difference: a request target holding more than one "?" is
// served instead of refused with 400. The browser appends station addresses and names to its
// queries unescaped, and an address often has a query of its own ("...?U=http://h/a.asp?id=7").
// Every "?" after the first reaches the handlers as "%3F", which the query parser decodes.
//
// Otherwise this is httplib's own keep-alive loop over a socket stream of ours (the library's
// stream type is not public); timeouts and limits are the server's settings.

#include <httplib.h>

#include <functional>

namespace kinvo::ds {

class LenientServer : public httplib::Server {
  public:
    // Asked while a connection idles between requests: true lets it go at once (other
    // connections wait for a worker).
    void setOthersWaiting(std::function<bool()> othersWaiting) {
        othersWaiting_ = std::move(othersWaiting);
    }

  private:
    std::function<bool()> othersWaiting_;

    bool process_and_close_socket(socket_t sock) override;
};

}  // namespace kinvo::ds
