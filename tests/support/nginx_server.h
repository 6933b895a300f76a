#pragma once

// nginx from Debian's package (/usr/sbin/nginx), started for one test on a free port of
// 127.0.0.1 in a private temporary directory, and stopped when the object goes away.
//
//   NginxServer nginx;                       // throws with a clear message when it cannot start
//   http.Url = nginx.Url("/index.html");
//
// It serves tests/fixtures/nginx/html/ with the configuration tests/fixtures/nginx/nginx.conf.in:
//   /index.html, /page2.html     small static pages
//   /words.txt                   a few KiB of text, sent gzip-compressed to clients that ask
//   /redirect                    302 to /index.html
//   /redirect-chain              301 to /redirect (two hops to /index.html)
//   /loop                        302 to itself, for ever
//   /refresh.html                carries "Refresh: 1; url=/index.html"
//   /headers.html                carries "X-Trawler-Test: present" and "Set-Cookie: sid=nginx42; Path=/"
//   /large.bin                   kLargeFileBytes bytes generated per run (LargeFileContent())
//   anything else                nginx's own 404 "Not Found"
// TlsUrl() serves the same folder over HTTPS with a self-signed certificate for 127.0.0.1
// (made per run with /usr/bin/openssl), which certificate checks must refuse.
// Works as root (CI) and as a normal user.

#include <memory>
#include <string>

#include "support/server_process.h"

namespace trawler::testsupport {

class NginxServer {
public:
    static constexpr std::size_t kLargeFileBytes = 3 * 1024 * 1024;
    static constexpr const char* kProgram = "/usr/sbin/nginx";

    NginxServer();
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    int Port() const { return port_; }
    std::string Url(const std::string& path) const;
    int TlsPort() const { return tlsPort_; }
    std::string TlsUrl(const std::string& path) const;
    // The bytes /large.bin serves.
    static std::string LargeFileContent();
    // The contents of a file of the served folder, for comparing with what arrived.
    static std::string FixtureFile(const std::string& name);

private:
    TempDir dir_;
    ChildProcess process_;
    int port_ = 0;
    int tlsPort_ = 0;
};

}  // namespace trawler::testsupport
