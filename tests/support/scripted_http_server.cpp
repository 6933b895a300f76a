#include "support/scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

namespace trawler::testsupport {
namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Reads one request (headers and a Content-Length body). A request larger than 1 MiB or
// slower than 5 s is given up.
bool ReadRequest(int fd, ScriptedHttpServer::Request& request, const std::atomic<bool>& stopping) {
    std::string data;
    std::size_t headerEnd = std::string::npos;
    std::size_t wanted = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    char buffer[16384];
    while (!stopping && std::chrono::steady_clock::now() < deadline && data.size() < (1u << 20)) {
        if (headerEnd != std::string::npos && data.size() >= wanted) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        auto n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        data.append(buffer, static_cast<std::size_t>(n));
        if (headerEnd == std::string::npos) {
            headerEnd = data.find("\r\n\r\n");
            if (headerEnd == std::string::npos) continue;
            std::size_t lineStart = 0;
            bool first = true;
            while (lineStart < headerEnd) {
                auto lineEnd = data.find("\r\n", lineStart);
                std::string line = data.substr(lineStart, lineEnd - lineStart);
                lineStart = lineEnd + 2;
                if (first) {
                    first = false;
                    auto s1 = line.find(' ');
                    auto s2 = line.rfind(' ');
                    if (s1 == std::string::npos || s2 == s1) return false;
                    request.method = line.substr(0, s1);
                    request.target = line.substr(s1 + 1, s2 - s1 - 1);
                    request.version = line.substr(s2 + 1);
                    request.path = request.target.substr(0, request.target.find('?'));
                    continue;
                }
                auto colon = line.find(':');
                if (colon == std::string::npos) continue;
                auto value = line.substr(colon + 1);
                value.erase(0, value.find_first_not_of(' '));
                request.headers.emplace_back(line.substr(0, colon), value);
            }
            auto length = request.Header("Content-Length");
            wanted = headerEnd + 4 + (length.empty() ? 0 : std::stoul(length));
        }
    }
    if (headerEnd == std::string::npos || data.size() < wanted) return false;
    request.body = data.substr(headerEnd + 4, wanted - headerEnd - 4);
    request.raw = data.substr(0, wanted);
    return true;
}

}  // namespace

std::string ScriptedHttpServer::Request::Header(const std::string& name) const {
    for (const auto& [n, v] : headers)
        if (EqualsIgnoringCase(n, name)) return v;
    return "";
}

bool ScriptedHttpServer::Request::HasHeader(const std::string& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& h) { return EqualsIgnoringCase(h.first, name); });
}

bool ScriptedHttpServer::Connection::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (stopping_) return false;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        auto n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool ScriptedHttpServer::Connection::SendHead(int status, const std::string& reason,
                                              const std::vector<std::string>& headerLines) {
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
    for (const auto& line : headerLines) head += line + "\r\n";
    return Send(head + "\r\n");
}

bool ScriptedHttpServer::Connection::SendResponse(int status, const std::string& reason,
                                                  const std::vector<std::string>& headerLines,
                                                  const std::string& body) {
    auto lines = headerLines;
    lines.push_back("Content-Length: " + std::to_string(body.size()));
    lines.push_back("Connection: close");
    return SendHead(status, reason, lines) && Send(body);
}

bool ScriptedHttpServer::Connection::Sleep(std::chrono::milliseconds duration) {
    auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        if (stopping_) return false;
        std::this_thread::sleep_for(std::min(duration, std::chrono::milliseconds(10)));
    }
    return !stopping_;
}

void ScriptedHttpServer::Connection::Reset() {
    linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::shutdown(fd_, SHUT_RDWR);
}

ScriptedHttpServer::ScriptedHttpServer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("socket() failed");
    int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 64) != 0)
        throw std::runtime_error(std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno));
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
    stopping_ = true;
    acceptThread_.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workers.swap(workers_);
    }
    for (auto& t : workers) t.join();
    ::close(listenFd_);
}

std::string ScriptedHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void ScriptedHttpServer::Handle(const std::string& path, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_[path] = std::move(handler);
}

ScriptedHttpServer::Request ScriptedHttpServer::LastRequest() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
}

bool ScriptedHttpServer::WaitForActiveConnections(int count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return active_ >= count; });
}

void ScriptedHttpServer::AcceptLoop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard<std::mutex> lock(mutex_);
        ++active_;
        maxActive_ = std::max(maxActive_.load(), active_);
        changed_.notify_all();
        workers_.emplace_back([this, fd] { Serve(fd); });
    }
}

void ScriptedHttpServer::Serve(int fd) {
    Request request;
    Connection connection(fd, stopping_);
    if (ReadRequest(fd, request, stopping_)) {
        ++requests_;
        Handler handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            last_ = request;
            auto it = handlers_.find(request.path);
            if (it != handlers_.end()) handler = it->second;
        }
        if (handler)
            handler(request, connection);
        else
            connection.SendResponse(404, "Not Found", {"Content-Type: text/plain"}, "no such page");
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
    std::lock_guard<std::mutex> lock(mutex_);
    --active_;
    changed_.notify_all();
}

ScriptedHttpServer::Handler ScriptedHttpServer::Echo() {
    return [](const Request& request, Connection& c) {
        c.SendResponse(200, "OK", {"Content-Type: text/plain"}, request.raw);
    };
}

ScriptedHttpServer::Handler ScriptedHttpServer::Trickle(std::size_t total, std::size_t chunk,
                                                        std::chrono::milliseconds interval) {
    return [=](const Request&, Connection& c) {
        if (!c.SendHead(200, "OK", {"Content-Type: text/plain",
                                    "Content-Length: " + std::to_string(total),
                                    "Connection: close"}))
            return;
        for (std::size_t sent = 0; sent < total; sent += chunk) {
            if (!c.Send(std::string(std::min(chunk, total - sent), 'x'))) return;
            if (sent + chunk < total && !c.Sleep(interval)) return;
        }
    };
}

ScriptedHttpServer::Handler ScriptedHttpServer::Endless() {
    return [](const Request&, Connection& c) {
        if (!c.SendHead(200, "OK", {"Content-Type: text/plain", "Connection: close"})) return;
        const std::string block(64 * 1024, 'y');
        while (c.Send(block)) {
        }
    };
}

ScriptedHttpServer::Handler ScriptedHttpServer::Drop(std::string partial) {
    return [partial](const Request&, Connection& c) {
        if (!partial.empty()) c.Send(partial);
        c.Reset();
    };
}

}  // namespace trawler::testsupport
