#pragma once

// Asynchronous HTTP client over libcurl's multi-socket interface, driven by an EventLoop.
//
// One client runs one request at a time (each search engine owns one); any number of clients
// on the same loop share one libcurl multi handle, so their requests run in parallel.
//
//   HttpClient http(loop);
//   http.Url = "http://example.org/search?q=x";
//   http.OnDocData = [&](const char* p, size_t n) { page.append(p, n); };
//   http.OnRequestDone = [&](int error) { ... http.StatusCode, http.ErrorText ... };
//   http.Get();
//
// Notifications are never called from inside libcurl: they are posted to the loop and run
// in this order for one request: OnCookie (once per Set-Cookie, redirect answers included),
// OnDocBegin (the final answer's headers are in; StatusCode, ReasonPhrase, HeaderLines and
// FinalUrl are set), OnDocData (zero or more chunks), OnRequestDone. After Abort(), or after
// a new request is started, nothing more of the earlier request is delivered, not even a
// chunk that was already queued. A handler may start a new request, abort, or destroy the
// client (the remaining queued notifications are then dropped).
//
// Settings are read when a request starts; changing them during a request affects the next.
// Header values are sent with CR, LF and other control bytes removed, so a value taken from
// a site description cannot inject further headers. An empty value sends no header.
//
// Cookies: `Cookie` is a literal header value sent with every request of this client.
// Besides it the client keeps a cookie jar: a received cookie that the OnCookie handler
// accepts is stored and sent back, by the usual domain/path/secure/expiry rules, only to the
// site that set it; a refused one is never sent. ClearCookies() empties the jar.
//
// Redirects (301, 302, 303, 307, 308 with a Location) are followed up to 10 times when
// FollowRedirects is on; a 303, and a 301/302 answering a POST, continue as GET. Only http
// and https addresses are fetched. HTTPS is verified against the system's CA store.
//
// The client must be destroyed before its EventLoop.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace trawler::platform {

class HttpClient {
public:
    static constexpr const char* kDefaultAccept =
        "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    static constexpr std::size_t kDefaultMaxBodyBytes = 8u * 1024u * 1024u;
    static constexpr int kMaxRedirects = 10;
    // ErrorCode of a request whose answer body exceeded MaxBodyBytes (libcurl's code for an
    // oversized download); ErrorText then says so in plain words.
    static constexpr int kErrorBodyTooLarge = 63;  // CURLE_FILESIZE_EXCEEDED

    explicit HttpClient(EventLoop& loop);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // --- settings -------------------------------------------------------------------------
    std::string Url;
    std::string Referer;
    std::string UserAgent;
    std::string Accept = kDefaultAccept;
    std::string AcceptLanguage;
    std::string AcceptCharset;
    std::string Cookie;
    bool NoCache = false;  // sends "Pragma: no-cache"
    // Proxy: empty host = direct connection (environment proxies are ignored; whether an
    // address bypasses the proxy is the caller's decision). A non-empty user sends basic
    // authentication to the proxy.
    std::string ProxyHost;
    int ProxyPort = 0;
    std::string ProxyUser;
    std::string ProxyPassword;
    // Body of Post(), sent as "application/x-www-form-urlencoded" with its length.
    std::string PostBody;
    // > 0: connect time-out, and a request that makes no progress for this many seconds
    // ends with libcurl's time-out error. 0: no time-out.
    int TimeoutSeconds = 0;
    // Answer bodies longer than this end the request with kErrorBodyTooLarge.
    std::size_t MaxBodyBytes = kDefaultMaxBodyBytes;
    bool FollowRedirects = true;
    // When on, libcurl's verbose trace of each request (informational text and the header
    // lines sent and received) is collected in VerboseLog, which is emptied when a request
    // starts.
    bool Verbose = false;
    std::string VerboseLog;

    // --- operations -----------------------------------------------------------------------
    // Start a request to Url. A request still running is aborted first. Returns false (and
    // delivers nothing) when the request could not be started, e.g. an empty Url; ErrorText
    // says why. A request that starts always ends with OnRequestDone unless aborted.
    bool Get();
    bool Post();
    bool Head();
    // Ends the running request at once; nothing more of it is delivered.
    void Abort();
    // A request is in progress (started and its OnRequestDone not yet delivered).
    bool Busy() const;
    void ClearCookies();
    // The cookies in the jar as "name=value" texts, in the order they were accepted.
    std::vector<std::string> StoredCookies() const;

    // --- results of the last request ------------------------------------------------------
    std::string FinalUrl;  // the requested address, or where the redirects led
    int StatusCode = 0;    // 0 when no answer arrived
    std::string ReasonPhrase;
    std::vector<std::string> HeaderLines;  // the final answer's header lines, status line
                                           // first, control bytes removed
    int ErrorCode = 0;  // 0 = an answer arrived (whatever its status); else libcurl's code
    std::string ErrorText;  // libcurl's message, e.g. "Couldn't connect to server"

    // --- notifications (empty = not assigned) ---------------------------------------------
    std::function<void()> OnDocBegin;
    // A chunk of the answer body; may contain zero bytes.
    std::function<void(const char* data, std::size_t len)> OnDocData;
    // error: 0 when an answer arrived (any status), else ErrorCode.
    std::function<void(int error)> OnRequestDone;
    // The value of one received Set-Cookie header; set accept to keep the cookie
    // (it starts false).
    std::function<void(const std::string& cookieText, bool& accept)> OnCookie;

    struct Impl;  // libcurl details; public only so the implementation files can name it

private:
    bool Start(int method);
    std::unique_ptr<Impl> impl_;
};

}  // namespace trawler::platform
