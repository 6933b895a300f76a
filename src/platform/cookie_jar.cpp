#include "platform/cookie_jar.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace trawler::platform {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool HasControlBytes(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

bool IsIpAddress(const std::string& host) {
    if (!host.empty() && host.front() == '[') return true;  // IPv6 literal
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
    });
}

struct UrlParts {
    std::string host;
    std::string path;
};

bool SplitUrl(const std::string& url, UrlParts& parts) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> u(curl_url(), &curl_url_cleanup);
    if (!u || curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
    char* host = nullptr;
    char* path = nullptr;
    bool ok = curl_url_get(u.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK &&
              curl_url_get(u.get(), CURLUPART_PATH, &path, 0) == CURLUE_OK;
    if (ok) {
        parts.host = Lower(host);
        parts.path = path;
    }
    curl_free(host);
    curl_free(path);
    return ok && !parts.host.empty();
}

// The directory of the request path: where a cookie without a Path attribute applies.
std::string DefaultPath(const std::string& requestPath) {
    if (requestPath.empty() || requestPath.front() != '/') return "/";
    auto slash = requestPath.rfind('/');
    return slash == 0 ? "/" : requestPath.substr(0, slash);
}

}  // namespace

bool CookieJar::Add(std::string_view text, const std::string& requestUrl, std::time_t now) {
    if (text.size() > kMaxCookieBytes || HasControlBytes(text)) return false;
    UrlParts origin;
    if (!SplitUrl(requestUrl, origin)) return false;

    auto semicolon = text.find(';');
    auto pair = Trim(text.substr(0, semicolon));
    auto eq = pair.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;

    Entry e;
    e.name = std::string(Trim(pair.substr(0, eq)));
    e.value = std::string(Trim(pair.substr(eq + 1)));
    if (e.name.empty()) return false;
    e.domain = origin.host;
    e.path = DefaultPath(origin.path);

    bool expired = false;
    bool haveMaxAge = false;
    auto attributes = semicolon == std::string_view::npos ? std::string_view()
                                                          : text.substr(semicolon + 1);
    while (!attributes.empty()) {
        auto next = attributes.find(';');
        auto attr = Trim(attributes.substr(0, next));
        attributes = next == std::string_view::npos ? std::string_view()
                                                    : attributes.substr(next + 1);
        auto aeq = attr.find('=');
        auto key = Lower(Trim(attr.substr(0, aeq)));
        auto val = aeq == std::string_view::npos ? std::string_view() : Trim(attr.substr(aeq + 1));
        if (key == "domain" && !val.empty()) {
            auto domain = Lower(val.front() == '.' ? val.substr(1) : val);
            if (domain.empty()) return false;
            bool same = domain == origin.host;
            bool parent = !IsIpAddress(origin.host) && origin.host.size() > domain.size() &&
                          origin.host.compare(origin.host.size() - domain.size(),
                                              domain.size(), domain) == 0 &&
                          origin.host[origin.host.size() - domain.size() - 1] == '.' &&
                          domain.find('.') != std::string::npos;
            if (!same && !parent) return false;
            e.domain = domain;
            e.includeSubdomains = true;
        } else if (key == "path") {
            if (!val.empty() && val.front() == '/') e.path = std::string(val);
        } else if (key == "secure") {
            e.secure = true;
        } else if (key == "max-age" && !val.empty()) {
            long long seconds = 0;
            bool negative = val.front() == '-';
            auto digits = negative ? val.substr(1) : val;
            if (digits.empty() || digits.size() > 12 ||
                !std::all_of(digits.begin(), digits.end(),
                             [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
                continue;
            for (char c : digits) seconds = seconds * 10 + (c - '0');
            haveMaxAge = true;
            expired = negative || seconds == 0;
            e.expires = expired ? 0 : static_cast<std::int64_t>(now) + seconds;
        } else if (key == "expires" && !haveMaxAge && !val.empty()) {
            std::string date(val);
            auto when = curl_getdate(date.c_str(), nullptr);
            if (when == -1) continue;
            expired = when <= now;
            e.expires = expired ? 0 : static_cast<std::int64_t>(when);
        }
    }
    // The jar is handed to libcurl as tab-separated lines.
    if (e.value.find('\t') != std::string::npos || e.name.find('\t') != std::string::npos)
        return false;

    auto same = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& old) {
        return old.name == e.name && old.domain == e.domain && old.path == e.path;
    });
    if (same != entries_.end()) entries_.erase(same);
    if (expired) return true;
    if (entries_.size() >= kMaxCookies) entries_.erase(entries_.begin());
    entries_.push_back(std::move(e));
    return true;
}

std::vector<std::string> CookieJar::NetscapeLines() const {
    std::vector<std::string> lines;
    for (const auto& e : entries_) {
        lines.push_back((e.includeSubdomains ? "." : "") + e.domain + '\t' +
                        (e.includeSubdomains ? "TRUE" : "FALSE") + '\t' + e.path + '\t' +
                        (e.secure ? "TRUE" : "FALSE") + '\t' + std::to_string(e.expires) +
                        '\t' + e.name + '\t' + e.value);
    }
    return lines;
}

std::vector<std::string> CookieJar::NameValues() const {
    std::vector<std::string> out;
    for (const auto& e : entries_) out.push_back(e.name + '=' + e.value);
    return out;
}

}  // namespace trawler::platform
