#include "platform/curl_multi.h"

#include <mutex>
#include <stdexcept>

namespace trawler::platform {
namespace {

std::mutex registryMutex;
std::map<EventLoop*, std::weak_ptr<CurlMulti>>& Registry() {
    static std::map<EventLoop*, std::weak_ptr<CurlMulti>> registry;
    return registry;
}

void GlobalInitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

std::shared_ptr<CurlMulti> CurlMulti::ForLoop(EventLoop& loop) {
    std::lock_guard<std::mutex> lock(registryMutex);
    auto& registry = Registry();
    if (auto existing = registry[&loop].lock()) return existing;
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second.expired() ? registry.erase(it) : std::next(it);
    auto multi = std::make_shared<CurlMulti>(loop);
    registry[&loop] = multi;
    return multi;
}

CurlMulti::CurlMulti(EventLoop& loop) : loop_(loop) {
    GlobalInitOnce();
    multi_ = curl_multi_init();
    if (!multi_) throw std::runtime_error("curl_multi_init failed");
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlMulti::SocketCallback);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlMulti::TimerCallback);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
}

CurlMulti::~CurlMulti() {
    for (auto& [easy, done] : running_) curl_multi_remove_handle(multi_, easy);
    // Cached connections are closed during cleanup; nothing may reach this object then.
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, nullptr);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, nullptr);
    for (auto& [socket, watch] : watches_) loop_.removeWatch(watch);
    if (timer_) loop_.removeTimer(timer_);
    curl_multi_cleanup(multi_);
}

bool CurlMulti::Add(CURL* easy, std::function<void(CURLcode)> onDone) {
    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) return false;
    running_[easy] = std::move(onDone);
    return true;
}

void CurlMulti::Remove(CURL* easy) {
    if (running_.erase(easy)) curl_multi_remove_handle(multi_, easy);
}

int CurlMulti::SocketCallback(CURL*, curl_socket_t s, int what, void* userp, void*) {
    auto* self = static_cast<CurlMulti*>(userp);
    auto found = self->watches_.find(s);
    if (what == CURL_POLL_REMOVE) {
        if (found != self->watches_.end()) {
            self->loop_.removeWatch(found->second);
            self->watches_.erase(found);
        }
        return 0;
    }
    unsigned events = 0;
    if (what == CURL_POLL_IN || what == CURL_POLL_INOUT) events |= SocketRead;
    if (what == CURL_POLL_OUT || what == CURL_POLL_INOUT) events |= SocketWrite;
    if (found != self->watches_.end()) {
        self->loop_.updateWatch(found->second, events);
    } else {
        std::weak_ptr<CurlMulti> weak = self->weak_from_this();
        self->watches_[s] = self->loop_.watchSocket(s, events, [weak, s](unsigned ready) {
            auto multi = weak.lock();
            if (!multi) return;
            int mask = 0;
            if (ready & SocketRead) mask |= CURL_CSELECT_IN;
            if (ready & SocketWrite) mask |= CURL_CSELECT_OUT;
            if (ready & SocketError) mask |= CURL_CSELECT_ERR;
            multi->Action(s, mask);
        });
    }
    return 0;
}

int CurlMulti::TimerCallback(CURLM*, long timeoutMs, void* userp) {
    auto* self = static_cast<CurlMulti*>(userp);
    if (self->timer_) {
        self->loop_.removeTimer(self->timer_);
        self->timer_ = 0;
    }
    if (timeoutMs < 0) return 0;
    std::weak_ptr<CurlMulti> weak = self->weak_from_this();
    self->timer_ = self->loop_.addTimer(std::chrono::milliseconds(timeoutMs), false, [weak] {
        auto multi = weak.lock();
        if (!multi) return;
        multi->timer_ = 0;
        multi->Action(CURL_SOCKET_TIMEOUT, 0);
    });
    return 0;
}

void CurlMulti::Action(curl_socket_t s, int eventMask) {
    auto keepAlive = shared_from_this();  // a completion may free the last client
    int running = 0;
    curl_multi_socket_action(multi_, s, eventMask, &running);
    CollectFinished();
}

void CurlMulti::CollectFinished() {
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi_, &queued)) {
        if (msg->msg != CURLMSG_DONE) continue;
        CURL* easy = msg->easy_handle;
        CURLcode result = msg->data.result;
        auto it = running_.find(easy);
        if (it == running_.end()) continue;
        auto done = std::move(it->second);
        running_.erase(it);
        curl_multi_remove_handle(multi_, easy);
        done(result);  // may add or remove other transfers
    }
}

}  // namespace trawler::platform
