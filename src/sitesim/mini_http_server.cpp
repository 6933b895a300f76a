#include "sitesim/mini_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace trawler::sitesim {

namespace {

using Clock = std::chrono::steady_clock;

// Requests larger than this are answered with 413 and closed: the simulator
// must not be made to hold arbitrary amounts of memory by a broken client.
constexpr std::size_t kMaxRequestBytes = 1 << 20;

bool equalsIgnoreCase(const std::string &a, const std::string &b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string trim(const std::string &s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

void setNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK); }

}  // namespace

std::string HttpRequest::header(const std::string &name) const {
  for (const auto &h : headers)
    if (equalsIgnoreCase(h.first, name)) return h.second;
  return {};
}

struct MiniHttpServer::Connection {
  int fd = -1;
  std::string in;
  bool requestDone = false;
  bool responding = false;
  std::string head;               // status line and headers, not yet sent part
  std::string body;               // body, not yet sent part
  HttpResponse response;
  Clock::time_point nextWrite{};  // when the next slice may go out
  bool closeAfterHead = false;
  bool hang = false;
};

MiniHttpServer::MiniHttpServer(Handler handler) : handler_(std::move(handler)) {}

MiniHttpServer::~MiniHttpServer() { stop(); }

int MiniHttpServer::start(int port) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return 0;
  int one = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::bind(listenFd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 256) != 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    return 0;
  }
  socklen_t len = sizeof addr;
  getsockname(listenFd_, reinterpret_cast<sockaddr *>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  setNonBlocking(listenFd_);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    return 0;
  }
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
  stopping_ = false;
  thread_ = std::thread([this] { loop(); });
  return port_;
}

void MiniHttpServer::stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  char c = 'x';
  [[maybe_unused]] auto n = ::write(wakeWrite_, &c, 1);
  thread_.join();
  for (auto &c2 : connections_) ::close(c2->fd);
  connections_.clear();
  open_ = 0;
  ::close(listenFd_);
  ::close(wakeRead_);
  ::close(wakeWrite_);
  listenFd_ = wakeRead_ = wakeWrite_ = -1;
}

void MiniHttpServer::acceptAll() {
  for (;;) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    connections_.push_back(std::move(c));
    int now = ++open_;
    int prev = maxOpen_.load();
    while (now > prev && !maxOpen_.compare_exchange_weak(prev, now)) {
    }
  }
}

bool MiniHttpServer::parseRequest(Connection &c) {
  auto headEnd = c.in.find("\r\n\r\n");
  if (headEnd == std::string::npos) return false;
  HttpRequest req;
  std::size_t lineEnd = c.in.find("\r\n");
  std::string requestLine = c.in.substr(0, lineEnd);
  auto sp1 = requestLine.find(' ');
  auto sp2 = requestLine.find(' ', sp1 == std::string::npos ? 0 : sp1 + 1);
  if (sp1 == std::string::npos || sp2 == std::string::npos) {
    req.method = "BAD";
  } else {
    req.method = requestLine.substr(0, sp1);
    req.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
  }
  std::size_t pos = lineEnd + 2;
  while (pos < headEnd) {
    std::size_t e = c.in.find("\r\n", pos);
    std::string line = c.in.substr(pos, e - pos);
    pos = e + 2;
    auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    req.headers.emplace_back(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
  }
  std::size_t contentLength = 0;
  std::string cl = req.header("Content-Length");
  if (!cl.empty()) contentLength = std::strtoul(cl.c_str(), nullptr, 10);
  if (contentLength > kMaxRequestBytes) contentLength = kMaxRequestBytes;
  if (c.in.size() < headEnd + 4 + contentLength) return false;
  req.body = c.in.substr(headEnd + 4, contentLength);
  auto q = req.target.find('?');
  req.path = req.target.substr(0, q);
  if (q != std::string::npos) req.query = req.target.substr(q + 1);

  ++requests_;
  HttpResponse resp;
  if (req.method == "BAD") {
    resp.status = 400;
    resp.reason = "Bad Request";
  } else {
    resp = handler_(req);
  }
  c.response = resp;
  std::string head = "HTTP/1.1 " + std::to_string(resp.status) + " " + resp.reason + "\r\n";
  bool hasType = false;
  for (const auto &h : resp.headers) {
    head += h.first + ": " + h.second + "\r\n";
    if (equalsIgnoreCase(h.first, "Content-Type")) hasType = true;
  }
  if (!hasType) head += "Content-Type: text/html; charset=utf-8\r\n";
  // A HEAD answer announces the length the GET would have.
  head += "Content-Length: " + std::to_string(resp.body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  c.head = std::move(head);
  c.body = req.method == "HEAD" ? std::string() : resp.body;
  c.requestDone = true;
  c.responding = true;
  c.hang = resp.hang;
  c.closeAfterHead = resp.dropAfterHeaders;
  c.nextWrite = Clock::now() + resp.latency;
  return true;
}

void MiniHttpServer::readFrom(Connection &c) {
  char buf[16384];
  for (;;) {
    ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
    if (n > 0) {
      if (!c.requestDone) c.in.append(buf, static_cast<std::size_t>(n));
      if (c.in.size() > kMaxRequestBytes + 65536) {
        c.head = "HTTP/1.1 413 Payload Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        c.body.clear();
        c.requestDone = c.responding = true;
        c.nextWrite = Clock::now();
        return;
      }
      continue;
    }
    if (n == 0) {
      // Peer closed: nothing more to do for this connection.
      c.requestDone = true;
      c.responding = false;
      c.head.clear();
      c.body.clear();
      c.hang = false;
      c.fd = -c.fd - 1;  // mark for closing
      return;
    }
    break;
  }
  if (!c.requestDone) parseRequest(c);
}

void MiniHttpServer::writeTo(Connection &c) {
  if (!c.responding || c.hang || Clock::now() < c.nextWrite) return;
  auto sendAll = [&](std::string &data, std::size_t limit) -> bool {
    std::size_t want = std::min(limit, data.size());
    std::size_t sent = 0;
    while (sent < want) {
      ssize_t n = ::send(c.fd, data.data() + sent, want - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    data.erase(0, sent);
    return sent == want;
  };
  if (!c.head.empty()) {
    if (!sendAll(c.head, c.head.size())) return;
    if (c.closeAfterHead) {
      c.responding = false;
      c.fd = -c.fd - 1;
      return;
    }
  }
  std::size_t slice = c.response.trickleBytes ? c.response.trickleBytes : c.body.size();
  sendAll(c.body, slice);
  if (c.body.empty()) {
    c.responding = false;
    ::shutdown(c.fd, SHUT_WR);
    c.fd = -c.fd - 1;
  } else if (c.response.trickleBytes) {
    c.nextWrite = Clock::now() + c.response.trickleInterval;
  }
}

void MiniHttpServer::loop() {
  std::vector<pollfd> fds;
  while (!stopping_) {
    fds.clear();
    fds.push_back({wakeRead_, POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    int timeoutMs = 200;
    auto now = Clock::now();
    for (auto &c : connections_) {
      short ev = POLLIN;
      if (c->responding && !c->hang) {
        if (c->nextWrite <= now) {
          ev |= POLLOUT;
        } else {
          auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(c->nextWrite - now).count() + 1;
          timeoutMs = std::min<int>(timeoutMs, static_cast<int>(wait));
        }
      }
      fds.push_back({c->fd, ev, 0});
    }
    ::poll(fds.data(), fds.size(), timeoutMs);
    if (stopping_) break;
    if (fds[1].revents & POLLIN) acceptAll();
    // Connections added by acceptAll are served on the next round.
    for (std::size_t i = 2; i < fds.size(); ++i) {
      Connection &c = *connections_[i - 2];
      if (c.fd < 0) continue;
      if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) readFrom(c);
      if (c.fd >= 0) writeTo(c);
    }
    // Close finished connections (fd marked negative).
    for (auto it = connections_.begin(); it != connections_.end();) {
      if ((*it)->fd < 0) {
        ::close(-(*it)->fd - 1);
        --open_;
        it = connections_.erase(it);
      } else {
        ++it;
      }
    }
  }
}

}  // namespace trawler::sitesim
