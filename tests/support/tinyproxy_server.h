#pragma once

// tinyproxy from Debian's package (/usr/bin/tinyproxy), in the foreground on a free port of
// 127.0.0.1, requiring basic authentication with User() / Password(). Stopped when the object
// goes away.
//
//   TinyproxyServer proxy;
//   http.ProxyHost = "127.0.0.1"; http.ProxyPort = proxy.Port();
//   http.ProxyUser = proxy.User(); http.ProxyPassword = proxy.Password();
//
// Without (or with wrong) credentials tinyproxy answers 407.

#include <string>

#include "support/server_process.h"

namespace trawler::testsupport {

class TinyproxyServer {
public:
    static constexpr const char* kProgram = "/usr/bin/tinyproxy";

    TinyproxyServer();
    ~TinyproxyServer();
    TinyproxyServer(const TinyproxyServer&) = delete;
    TinyproxyServer& operator=(const TinyproxyServer&) = delete;

    int Port() const { return port_; }
    std::string User() const { return "trawler"; }
    std::string Password() const { return "s3cret-pw"; }
    // tinyproxy's log, e.g. to see which requests went through it.
    std::string Log() const;

private:
    TempDir dir_;
    ChildProcess process_;
    int port_ = 0;
};

}  // namespace trawler::testsupport
