#pragma once
// A small HTTP/1.1 server for the site simulator: one background thread, poll(2),
// one request per connection (the server closes after answering, so "connections
// open at once" is exactly "requests in progress at once").

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace trawler::sitesim {

struct HttpRequest {
  std::string method;                          // "GET", "POST", "HEAD"
  std::string target;                          // "/path?query" as received
  std::string path;                            // target without the query
  std::string query;                           // text after "?", raw
  std::vector<std::pair<std::string, std::string>> headers;  // as received
  std::string body;
  std::string header(const std::string &name) const;  // first match ignoring case, "" if none
};

struct HttpResponse {
  int status = 200;
  std::string reason = "OK";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  // Delivery shaping: wait before the first byte, then send the body in slices.
  std::chrono::milliseconds latency{0};
  std::size_t trickleBytes = 0;                // 0: body in one write
  std::chrono::milliseconds trickleInterval{0};
  bool hang = false;                           // never answer (client must time out)
  bool dropAfterHeaders = false;               // close the connection after the header block
};

class MiniHttpServer {
 public:
  using Handler = std::function<HttpResponse(const HttpRequest &)>;

  explicit MiniHttpServer(Handler handler);
  ~MiniHttpServer();
  MiniHttpServer(const MiniHttpServer &) = delete;
  MiniHttpServer &operator=(const MiniHttpServer &) = delete;

  // Listens on 127.0.0.1 (port 0 = any free port) and starts the thread.
  // Returns the port, or 0 when the socket could not be set up.
  int start(int port = 0);
  void stop();
  int port() const { return port_; }

  int openConnections() const { return open_.load(); }
  int maxOpenConnections() const { return maxOpen_.load(); }
  void resetMaxOpenConnections() { maxOpen_.store(open_.load()); }
  std::uint64_t requestCount() const { return requests_.load(); }

 private:
  struct Connection;
  void loop();
  void acceptAll();
  void readFrom(Connection &c);
  void writeTo(Connection &c);
  bool parseRequest(Connection &c);

  Handler handler_;
  int listenFd_ = -1;
  int wakeRead_ = -1, wakeWrite_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> open_{0};
  std::atomic<int> maxOpen_{0};
  std::atomic<std::uint64_t> requests_{0};
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace trawler::sitesim
