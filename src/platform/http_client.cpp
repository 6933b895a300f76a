#include "platform/http_client.h"

#include <curl/curl.h>

#include <chrono>
#include <ctime>
#include <utility>

#include "platform/cookie_jar.h"
#include "platform/curl_multi.h"
#include "platform/http_text.h"

namespace trawler::platform {
namespace {

enum Method { kGet, kPost, kHead };

static_assert(HttpClient::kErrorBodyTooLarge == CURLE_FILESIZE_EXCEEDED);

// A hostile server may send endless header lines; past this many they are not kept.
constexpr std::size_t kMaxHeaderLines = 1000;
constexpr std::size_t kMaxVerboseBytes = 1024 * 1024;

bool IsRedirectStatus(int code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

// What a request was started with; every hop of its redirects uses the same.
struct RequestSettings {
    Method method = kGet;
    std::string referer, userAgent, accept, acceptLanguage, acceptCharset, cookie;
    bool noCache = false;
    std::string proxyHost;
    int proxyPort = 0;
    std::string proxyUser, proxyPassword;
    std::string postBody;
    int timeoutSeconds = 0;
    std::size_t maxBodyBytes = 0;
    bool followRedirects = true;
    bool verbose = false;
};

}  // namespace

struct HttpClient::Impl {
    Impl(HttpClient& owner, EventLoop& loop)
        : owner(owner), loop(loop), multi(CurlMulti::ForLoop(loop)) {}

    HttpClient& owner;
    EventLoop& loop;
    std::shared_ptr<CurlMulti> multi;
    // Posted notifications hold a weak reference: once the client is gone they do nothing.
    std::shared_ptr<char> alive = std::make_shared<char>(0);
    std::uint64_t generation = 0;  // changes with every start and abort
    bool busy = false;
    CookieJar jar;

    RequestSettings settings;
    int redirects = 0;

    // The transfer of the current hop.
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    std::string hopUrl;
    Method hopMethod = kGet;
    int hopStatus = 0;
    std::string hopReason;
    std::vector<std::string> hopHeaders;
    std::string hopLocation;
    bool hopHeadersDone = false;
    bool hopIsRedirect = false;
    bool redirectCut = false;  // we ended the transfer after a redirect's headers
    std::size_t bodyBytes = 0;
    bool bodyTooLarge = false;
    // Ends a request that made no progress for TimeoutSeconds. libcurl's own low-speed
    // limit averages over several seconds, so a stalled answer would linger longer.
    TimerId watchdog = 0;
    std::chrono::steady_clock::time_point lastProgress;

    void FreeTransfer() {
        if (watchdog) {
            loop.removeTimer(watchdog);
            watchdog = 0;
        }
        if (easy) {
            multi->Remove(easy);
            curl_easy_cleanup(easy);
            easy = nullptr;
        }
        if (headers) {
            curl_slist_free_all(headers);
            headers = nullptr;
        }
    }

    // Runs fn through the loop, unless the client is gone or the request is over by then.
    template <typename Fn>
    void Deliver(Fn fn) {
        std::weak_ptr<char> weak = alive;
        auto gen = generation;
        loop.post([this, weak, gen, fn = std::move(fn)]() mutable {
            if (weak.expired() || gen != generation) return;
            fn(weak);
        });
    }

    bool StartHop(const std::string& url, Method method);
    void HeaderLine(std::string_view line);
    std::size_t Body(const char* data, std::size_t len);
    void Finished(CURLcode result);
    void Complete(int error, std::string errorText);
    void StartWatchdog();

    static std::size_t HeaderCallback(char* data, std::size_t size, std::size_t n, void* user) {
        static_cast<Impl*>(user)->HeaderLine(std::string_view(data, size * n));
        return size * n;
    }
    static std::size_t WriteCallback(char* data, std::size_t size, std::size_t n, void* user) {
        return static_cast<Impl*>(user)->Body(data, size * n);
    }
    static int DebugCallback(CURL*, curl_infotype type, char* data, std::size_t len,
                             void* user) {
        const char* prefix = type == CURLINFO_TEXT         ? "* "
                             : type == CURLINFO_HEADER_IN  ? "< "
                             : type == CURLINFO_HEADER_OUT ? "> "
                                                           : nullptr;
        auto& log = static_cast<Impl*>(user)->owner.VerboseLog;
        if (prefix && log.size() + 2 < kMaxVerboseBytes) {
            log += prefix;
            log.append(data, std::min(len, kMaxVerboseBytes - log.size()));
        }
        return 0;
    }
};

namespace {

void AddHeader(curl_slist*& list, const char* name, const std::string& value) {
    auto clean = http_text::StripControlBytes(value);
    if (clean.empty()) return;
    list = curl_slist_append(list, (std::string(name) + ": " + clean).c_str());
}

}  // namespace

bool HttpClient::Impl::StartHop(const std::string& url, Method method) {
    FreeTransfer();
    hopUrl = url;
    hopMethod = method;
    hopStatus = 0;
    hopReason.clear();
    hopHeaders.clear();
    hopLocation.clear();
    hopHeadersDone = false;
    hopIsRedirect = false;
    redirectCut = false;
    bodyBytes = 0;
    bodyTooLarge = false;
    errorBuffer[0] = 0;

    easy = curl_easy_init();
    if (!easy) return false;
    const auto& s = settings;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);  // we follow, to vet cookies per hop
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::HeaderCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::WriteCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(s.maxBodyBytes));
    if (s.verbose) {
        curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, &Impl::DebugCallback);
        curl_easy_setopt(easy, CURLOPT_DEBUGDATA, this);
    }
    if (s.timeoutSeconds > 0) {
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, static_cast<long>(s.timeoutSeconds));
        StartWatchdog();
    }

    AddHeader(headers, "Referer", s.referer);
    AddHeader(headers, "User-Agent", s.userAgent);
    auto accept = http_text::StripControlBytes(s.accept);
    // An empty Accept must send nothing, not libcurl's own "*/*".
    headers = curl_slist_append(headers, accept.empty() ? "Accept:" : ("Accept: " + accept).c_str());
    AddHeader(headers, "Accept-Language", s.acceptLanguage);
    AddHeader(headers, "Accept-Charset", s.acceptCharset);
    if (s.noCache) headers = curl_slist_append(headers, "Pragma: no-cache");
    if (method == kPost) {
        headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
        headers = curl_slist_append(headers, "Expect:");
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(s.postBody.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, s.postBody.c_str());
    } else if (method == kHead) {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);

    auto cookie = http_text::StripControlBytes(s.cookie);
    if (!cookie.empty()) curl_easy_setopt(easy, CURLOPT_COOKIE, cookie.c_str());
    if (!jar.Empty()) {
        // Only the jar's cookies: whatever this hop receives is vetted by OnCookie first.
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
        for (const auto& line : jar.NetscapeLines())
            curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
    }

    // Environment proxy variables are ignored: the settings alone decide.
    auto proxyHost = http_text::StripControlBytes(s.proxyHost);
    curl_easy_setopt(easy, CURLOPT_PROXY, proxyHost.c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    if (!proxyHost.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
        if (s.proxyPort > 0) curl_easy_setopt(easy, CURLOPT_PROXYPORT, static_cast<long>(s.proxyPort));
        curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        if (!s.proxyUser.empty()) {
            curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
            curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, s.proxyUser.c_str());
            curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, s.proxyPassword.c_str());
        }
    }

    std::weak_ptr<char> weak = alive;
    auto gen = generation;
    return multi->Add(easy, [this, weak, gen](CURLcode result) {
        if (weak.expired() || gen != generation) return;
        Finished(result);
    });
}

void HttpClient::Impl::StartWatchdog() {
    lastProgress = std::chrono::steady_clock::now();
    const auto limit = std::chrono::seconds(settings.timeoutSeconds);
    std::weak_ptr<char> weak = alive;
    auto gen = generation;
    watchdog = loop.addTimer(std::chrono::milliseconds(100), true, [this, weak, gen, limit] {
        if (weak.expired() || gen != generation) return;
        if (std::chrono::steady_clock::now() - lastProgress < limit) return;
        FreeTransfer();
        Complete(CURLE_OPERATION_TIMEDOUT, curl_easy_strerror(CURLE_OPERATION_TIMEDOUT));
    });
}

void HttpClient::Impl::HeaderLine(std::string_view line) {
    lastProgress = std::chrono::steady_clock::now();
    http_text::StatusLine status;
    if (http_text::ParseStatusLine(line, status)) {
        // A new answer begins (after a 100 Continue, or the proxy's own answer).
        hopStatus = status.code;
        hopReason = status.reason;
        hopHeaders.clear();
        hopLocation.clear();
        hopHeadersDone = false;
        hopHeaders.push_back(http_text::StripControlBytes(line));
        return;
    }
    auto clean = http_text::StripControlBytes(line);
    if (clean.empty()) {
        if (hopStatus >= 200) {
            hopHeadersDone = true;
            hopIsRedirect = settings.followRedirects && IsRedirectStatus(hopStatus) &&
                            !hopLocation.empty();
            if (!hopIsRedirect) {
                Deliver([this, status = hopStatus, reason = hopReason, lines = hopHeaders,
                         url = hopUrl](std::weak_ptr<char>&) {
                    owner.StatusCode = status;
                    owner.ReasonPhrase = reason;
                    owner.HeaderLines = lines;
                    owner.FinalUrl = url;
                    auto handler = owner.OnDocBegin;
                    if (handler) handler();
                });
            }
        }
        return;
    }
    if (hopHeaders.size() < kMaxHeaderLines) hopHeaders.push_back(clean);
    std::string value;
    if (http_text::HeaderValue(clean, "Location", value)) hopLocation = value;
    if (http_text::HeaderValue(clean, "Set-Cookie", value) && hopStatus >= 200) {
        Deliver([this, value, url = hopUrl](std::weak_ptr<char>& weak) {
            bool accept = false;
            auto handler = owner.OnCookie;
            if (handler) handler(value, accept);
            if (accept && !weak.expired()) jar.Add(value, url, std::time(nullptr));
        });
    }
}

std::size_t HttpClient::Impl::Body(const char* data, std::size_t len) {
    lastProgress = std::chrono::steady_clock::now();
    if (hopIsRedirect) {
        // The text of a redirect answer is of no use, and a hostile one may never end:
        // stop reading it and go on to the target.
        redirectCut = true;
        return 0;
    }
    if (len > settings.maxBodyBytes - bodyBytes) {
        bodyTooLarge = true;
        return 0;  // makes libcurl end the transfer with an error
    }
    bodyBytes += len;
    Deliver([this, chunk = std::string(data, len)](std::weak_ptr<char>&) {
        auto handler = owner.OnDocData;
        if (handler) handler(chunk.data(), chunk.size());
    });
    return len;
}

void HttpClient::Impl::Finished(CURLcode result) {
    if (hopIsRedirect && (result == CURLE_OK || (result == CURLE_WRITE_ERROR && redirectCut))) {
        std::string next = http_text::ResolveLocation(hopUrl, hopLocation);
        if (redirects >= kMaxRedirects) {
            FreeTransfer();
            Complete(CURLE_TOO_MANY_REDIRECTS,
                     "Maximum (" + std::to_string(kMaxRedirects) + ") redirects followed");
            return;
        }
        if (!next.empty()) {
            ++redirects;
            Method method = hopMethod;
            if (hopStatus == 303 && method != kHead) method = kGet;
            if ((hopStatus == 301 || hopStatus == 302) && method == kPost) method = kGet;
            FreeTransfer();
            // Started through the loop, so the cookies of this answer are accepted or
            // refused before the next request goes out.
            Deliver([this, next, method](std::weak_ptr<char>&) {
                if (!StartHop(next, method)) {
                    FreeTransfer();
                    Complete(CURLE_FAILED_INIT, "The request could not be started");
                }
            });
            return;
        }
    }
    FreeTransfer();
    if (result == CURLE_OK) {
        Complete(0, "");
    } else if (bodyTooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        Complete(kErrorBodyTooLarge, "The answer is larger than " +
                                         std::to_string(settings.maxBodyBytes) +
                                         " bytes; the transfer was stopped");
    } else {
        // libcurl's own short message; the detailed one goes to the verbose trace.
        if (settings.verbose && errorBuffer[0]) owner.VerboseLog += std::string("* ") + errorBuffer + "\n";
        Complete(static_cast<int>(result), curl_easy_strerror(result));
    }
}

void HttpClient::Impl::Complete(int error, std::string errorText) {
    Deliver([this, error, errorText = std::move(errorText), status = hopStatus,
             reason = hopReason, lines = hopHeaders, url = hopUrl,
             answered = hopHeadersDone](std::weak_ptr<char>&) {
        busy = false;
        owner.ErrorCode = error;
        owner.ErrorText = errorText;
        owner.FinalUrl = url;
        if (answered) {
            owner.StatusCode = status;
            owner.ReasonPhrase = reason;
            owner.HeaderLines = lines;
        }
        auto handler = owner.OnRequestDone;
        if (handler) handler(error);
    });
}

HttpClient::HttpClient(EventLoop& loop) : impl_(std::make_unique<Impl>(*this, loop)) {}

HttpClient::~HttpClient() { impl_->FreeTransfer(); }

bool HttpClient::Get() { return Start(kGet); }
bool HttpClient::Post() { return Start(kPost); }
bool HttpClient::Head() { return Start(kHead); }

bool HttpClient::Start(int method) {
    Abort();
    FinalUrl = Url;
    StatusCode = 0;
    ReasonPhrase.clear();
    HeaderLines.clear();
    ErrorCode = 0;
    ErrorText.clear();
    VerboseLog.clear();
    if (Url.empty()) {
        ErrorText = "No address to request";
        return false;
    }
    auto& s = impl_->settings;
    s.method = static_cast<Method>(method);
    s.referer = Referer;
    s.userAgent = UserAgent;
    s.accept = Accept;
    s.acceptLanguage = AcceptLanguage;
    s.acceptCharset = AcceptCharset;
    s.cookie = Cookie;
    s.noCache = NoCache;
    s.proxyHost = ProxyHost;
    s.proxyPort = ProxyPort;
    s.proxyUser = ProxyUser;
    s.proxyPassword = ProxyPassword;
    s.postBody = PostBody;
    s.timeoutSeconds = TimeoutSeconds;
    s.maxBodyBytes = MaxBodyBytes;
    s.followRedirects = FollowRedirects;
    s.verbose = Verbose;
    impl_->redirects = 0;
    ++impl_->generation;
    if (!impl_->StartHop(Url, s.method)) {
        impl_->FreeTransfer();
        ErrorText = "The request could not be started";
        return false;
    }
    impl_->busy = true;
    return true;
}

void HttpClient::Abort() {
    ++impl_->generation;  // drops every notification still queued
    impl_->FreeTransfer();
    impl_->busy = false;
}

bool HttpClient::Busy() const { return impl_->busy; }

void HttpClient::ClearCookies() { impl_->jar.Clear(); }

std::vector<std::string> HttpClient::StoredCookies() const { return impl_->jar.NameValues(); }

}  // namespace trawler::platform
