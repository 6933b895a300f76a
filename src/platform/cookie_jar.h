#pragma once

// The cookies one HTTP client has accepted, with the site each belongs to.
//
// The jar only decides what a cookie is and where it belongs (domain, path, secure flag,
// expiry, from the Set-Cookie value and the address that sent it); matching cookies to
// outgoing requests is left to libcurl, which is handed the jar in its own file format.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::platform {

class CookieJar {
public:
    // A hostile site cannot grow the jar without bound; the oldest cookie makes room.
    static constexpr std::size_t kMaxCookies = 300;
    static constexpr std::size_t kMaxCookieBytes = 4096;

    // Stores the cookie of one Set-Cookie value received from `requestUrl`, replacing one of
    // the same name, domain and path; an already expired cookie removes that one instead.
    // Returns false (and stores nothing) for a cookie that is malformed, too long, or names
    // a domain the address does not belong to.
    bool Add(std::string_view setCookieValue, const std::string& requestUrl,
             std::time_t now);
    void Clear() { entries_.clear(); }
    bool Empty() const { return entries_.empty(); }

    // One line per cookie in the Netscape cookie-file format libcurl reads.
    std::vector<std::string> NetscapeLines() const;
    // "name=value" per cookie, oldest first.
    std::vector<std::string> NameValues() const;

private:
    struct Entry {
        std::string domain;  // lower case, no leading dot
        bool includeSubdomains = false;
        std::string path;
        bool secure = false;
        std::int64_t expires = 0;  // 0 = ends with the session
        std::string name;
        std::string value;
    };
    std::vector<Entry> entries_;
};

}  // namespace trawler::platform
