#include "axserver/download/tests/loopback_server.h"

#include <chrono>
#include <stdexcept>

namespace vexa::testing {

LoopbackServer::LoopbackServer(const std::function<void(httplib::Server&)>& addRoutes) {
    addRoutes(server_);
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("LoopbackServer: cannot listen on 127.0.0.1");
    }
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() reaches only a server that already runs.
    while (!server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

LoopbackServer::~LoopbackServer() {
    server_.stop();
    thread_.join();
}

std::string LoopbackServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

}  // namespace vexa::testing
