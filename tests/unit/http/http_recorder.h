#pragma once

// Records what one HttpClient delivers, in order, for the HTTP tests.

#include <string>
#include <vector>

#include "platform/http_client.h"
#include "platform/poll_event_loop.h"

namespace trawler::platform::testing {

struct HttpRecorder {
    std::vector<std::string> events;  // "begin", "data", "done", "cookie"
    std::string body;
    std::vector<std::string> cookies;
    bool acceptCookies = false;
    bool done = false;
    int error = -1;
    int dataChunks = 0;

    HttpRecorder(const HttpRecorder&) = delete;
    HttpRecorder& operator=(const HttpRecorder&) = delete;

    // Forgets what was recorded, before the client's next request.
    void Reset() {
        events.clear();
        body.clear();
        cookies.clear();
        done = false;
        error = -1;
        dataChunks = 0;
    }

    explicit HttpRecorder(HttpClient& http) {
        http.OnDocBegin = [this] { events.push_back("begin"); };
        http.OnDocData = [this](const char* p, std::size_t n) {
            events.push_back("data");
            ++dataChunks;
            body.append(p, n);
        };
        http.OnRequestDone = [this](int e) {
            events.push_back("done");
            done = true;
            error = e;
        };
        http.OnCookie = [this](const std::string& text, bool& accept) {
            events.push_back("cookie");
            cookies.push_back(text);
            accept = acceptCookies;
        };
    }
};

// Runs the loop until the recorder saw its request end; false after 10 s.
inline bool WaitDone(PollEventLoop& loop, const HttpRecorder& r,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return loop.runUntil([&] { return r.done; }, timeout);
}

}  // namespace trawler::platform::testing
