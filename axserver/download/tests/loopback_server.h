#pragma once
// A cpp-httplib server on 127.0.0.1 (a free port) for the download's tests and benchmark: the
// caller adds its routes before it starts serving; it stops when it goes.

#include <httplib.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace vexa::testing {

class LoopbackServer {
  public:
    explicit LoopbackServer(const std::function<void(httplib::Server&)>& addRoutes);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(std::string_view path) const;

  private:
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
};

}  // namespace vexa::testing
