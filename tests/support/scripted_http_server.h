#pragma once

// A tiny programmable HTTP/1.1 server inside the test process, for answers a real server
// will not give on demand: slow trickles, endless bodies, dropped connections, chosen
// Set-Cookie headers, and an echo of what the client sent.
//
//   ScriptedHttpServer server;                       // listens on 127.0.0.1, free port
//   server.Handle("/slow", [](const ScriptedHttpServer::Request&, ScriptedHttpServer::Connection& c) {
//       c.SendHead(200, "OK", {"Content-Length: 10"});
//       for (int i = 0; i < 10 && c.Send("x"); ++i) c.Sleep(std::chrono::milliseconds(100));
//   });
//   http.Url = server.Url("/slow");
//
// Every connection is served on its own thread, one request per connection (the answer
// carries "Connection: close" when written by SendResponse). Unknown paths get a 404.
// Ready-made handlers: Echo() (status 200, body = the request as received: request line,
// header lines, blank line, body), Trickle(), Endless(), Drop().
// MaxSimultaneousConnections() tells how many connections were open at the same time.
// The destructor stops accepting, tells running handlers to stop (Send fails, Sleep ends
// early) and joins every thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace trawler::testsupport {

class ScriptedHttpServer {
public:
    struct Request {
        std::string method;
        std::string target;  // as sent, e.g. "/echo?x=1"
        std::string path;    // target without the query
        std::string version;
        std::vector<std::pair<std::string, std::string>> headers;  // in order received
        std::string body;
        std::string raw;  // the whole request as received

        // The first header of that name (ignoring case), or "" when absent.
        std::string Header(const std::string& name) const;
        bool HasHeader(const std::string& name) const;
    };

    class Connection {
    public:
        Connection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
        // Sends bytes; false when the client went away or the server is stopping.
        bool Send(const std::string& bytes);
        // Status line plus header lines (without CRLF) plus the blank line.
        bool SendHead(int status, const std::string& reason,
                      const std::vector<std::string>& headerLines);
        // A complete answer with Content-Length and "Connection: close".
        bool SendResponse(int status, const std::string& reason,
                          const std::vector<std::string>& headerLines, const std::string& body);
        // Waits, returning early (false) when the server is stopping.
        bool Sleep(std::chrono::milliseconds duration);
        // Closes the connection at once, with a reset instead of an orderly close.
        void Reset();

    private:
        int fd_;
        const std::atomic<bool>& stopping_;
    };

    using Handler = std::function<void(const Request&, Connection&)>;

    ScriptedHttpServer();
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    int Port() const { return port_; }
    std::string Url(const std::string& path) const;

    // Serves requests whose path (target without query) equals `path`.
    void Handle(const std::string& path, Handler handler);

    static Handler Echo();
    // 200 with `total` bytes of 'x', `chunk` bytes at a time every `interval`.
    static Handler Trickle(std::size_t total, std::size_t chunk, std::chrono::milliseconds interval);
    // 200 without a length, sending 'y' blocks until the client leaves.
    static Handler Endless();
    // Sends `partial` (may be empty) and then resets the connection.
    static Handler Drop(std::string partial);

    int MaxSimultaneousConnections() const { return maxActive_; }
    int RequestCount() const { return requests_; }
    // The last request received, for checks after the answer arrived.
    Request LastRequest() const;
    // Waits until `count` connections are open at once; false after `timeout`.
    bool WaitForActiveConnections(int count, std::chrono::milliseconds timeout);

private:
    void AcceptLoop();
    void Serve(int fd);

    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, Handler> handlers_;
    std::vector<std::thread> workers_;
    int active_ = 0;
    std::atomic<int> maxActive_{0};
    std::atomic<int> requests_{0};
    Request last_;
};

}  // namespace trawler::testsupport
