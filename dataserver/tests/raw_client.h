#pragma once
// A raw loopback TCP connection to the server, for what curl cannot send: pipelined requests,
// hostile heads, clients that stall. Closed at the end of its scope.

#include <chrono>
#include <optional>
#include <string>

namespace kinvo::ds::test {

struct RawAnswer {
    std::string head;  // status line and headers, without the blank line
    std::string body;  // exactly Content-Length bytes
    int status() const;
    // The value of header `name` (letter case as the server writes it), or "".
    std::string header(const std::string& name) const;
};

class RawClient {
  public:
    explicit RawClient(int port);
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool connected() const { return fd_ >= 0; }
    // False when the server has closed or reset the connection.
    bool send(const std::string& bytes);
    // The next answer framed by its Content-Length; nullopt when the connection ends or `wait`
    // passes first.
    std::optional<RawAnswer> answer(std::chrono::milliseconds wait = std::chrono::seconds(30));
    // Reads and drops `bytes` bytes; false when the connection ends first.
    bool skip(std::size_t bytes);
    // Tells the server that nothing more will be sent (shutdown for writing).
    void finish();
    // Closes now with a reset, as a client that crashes or gives up does.
    void reset();
    // Whether the server closes the connection within `wait` (bytes still sent are dropped).
    bool closedWithin(std::chrono::milliseconds wait);

  private:
    int fd_ = -1;
    std::string pending_;  // received, not yet returned
};

}  // namespace kinvo::ds::test
