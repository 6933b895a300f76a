#pragma once

// One libcurl multi handle per EventLoop, shared by every HttpClient on that loop.
//
// libcurl's socket and timer callbacks only record what the loop must watch; the loop's
// watches and timer drive curl_multi_socket_action, and finished transfers are collected
// with curl_multi_info_read afterwards, outside every libcurl callback, where their
// completion functions run.

#include <curl/curl.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/event_loop.h"

namespace trawler::platform {

class CurlMulti : public std::enable_shared_from_this<CurlMulti> {
public:
    // The multi handle of `loop`, created on first use and freed with its last user.
    static std::shared_ptr<CurlMulti> ForLoop(EventLoop& loop);

    explicit CurlMulti(EventLoop& loop);
    ~CurlMulti();
    CurlMulti(const CurlMulti&) = delete;
    CurlMulti& operator=(const CurlMulti&) = delete;

    EventLoop& Loop() { return loop_; }

    // Starts `easy`; onDone(result) is called once when it ends (never after Remove).
    bool Add(CURL* easy, std::function<void(CURLcode)> onDone);
    // Takes `easy` out, finished or not. Must not be called from inside a libcurl callback.
    void Remove(CURL* easy);

private:
    static int SocketCallback(CURL* easy, curl_socket_t s, int what, void* userp,
                              void* socketp);
    static int TimerCallback(CURLM* multi, long timeoutMs, void* userp);
    void Action(curl_socket_t s, int eventMask);
    void CollectFinished();

    EventLoop& loop_;
    CURLM* multi_ = nullptr;
    std::map<curl_socket_t, WatchId> watches_;
    TimerId timer_ = 0;
    std::map<CURL*, std::function<void(CURLcode)>> running_;
};

}  // namespace trawler::platform
