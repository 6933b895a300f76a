#include "support/nginx_server.h"

#include <unistd.h>

#include <stdexcept>

namespace trawler::testsupport {
namespace {

std::string FixtureDir() { return std::string(TRAWLER_TEST_DIR) + "/fixtures/nginx"; }

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (auto pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

}  // namespace

std::string NginxServer::LargeFileContent() {
    // Varied bytes (zero bytes included) so a lost or repeated chunk cannot go unnoticed.
    std::string content(kLargeFileBytes, '\0');
    std::uint32_t x = 12345;
    for (auto& c : content) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return content;
}

std::string NginxServer::FixtureFile(const std::string& name) {
    return ReadTextFile(FixtureDir() + "/html/" + name);
}

NginxServer::NginxServer() : dir_("trawler-nginx") {
    if (::access(kProgram, X_OK) != 0)
        throw std::runtime_error(std::string(kProgram) +
                                 " is missing: install Debian's nginx-light package "
                                 "(./run.sh test installs it)");
    const std::string prefix = dir_.Path();
    WriteTextFile(prefix + "/large.bin", LargeFileContent());
    {
        ChildProcess openssl;
        if (!openssl.Start({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                            "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                            "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                            prefix + "/key.pem", "-out", prefix + "/cert.pem"},
                           prefix + "/openssl.log") ||
            openssl.Wait() != 0)
            throw std::runtime_error("cannot make a test certificate with /usr/bin/openssl: " +
                                     ReadTextFile(prefix + "/openssl.log"));
    }
    const std::string templ = ReadTextFile(FixtureDir() + "/nginx.conf.in");
    if (templ.empty()) throw std::runtime_error("cannot read " + FixtureDir() + "/nginx.conf.in");

    // The port is free when picked but another process could take it before nginx binds;
    // try a few.
    std::string lastLog;
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = FreeLoopbackPort();
        do tlsPort_ = FreeLoopbackPort();
        while (tlsPort_ == port_);
        std::string conf = templ;
        ReplaceAll(conf, "@PREFIX@", prefix);
        ReplaceAll(conf, "@PORT@", std::to_string(port_));
        ReplaceAll(conf, "@TLSPORT@", std::to_string(tlsPort_));
        ReplaceAll(conf, "@HTML@", FixtureDir() + "/html");
        ReplaceAll(conf, "@LARGE@", prefix + "/large.bin");
        // As root nginx would otherwise look up the user "nobody" for its temporary folders.
        ReplaceAll(conf, "@USER@", ::geteuid() == 0 ? "user root;" : "");
        WriteTextFile(prefix + "/nginx.conf", conf);
        const std::string log = prefix + "/output.log";
        if (!process_.Start({kProgram, "-p", prefix + "/", "-c", prefix + "/nginx.conf", "-e",
                             prefix + "/error.log"},
                            log))
            throw std::runtime_error("cannot start " + std::string(kProgram));
        auto running = [this] { return process_.Running(); };
        if (WaitForPort(port_, std::chrono::seconds(5), running) &&
            WaitForPort(tlsPort_, std::chrono::seconds(5), running))
            return;
        process_.Stop();
        lastLog = ReadTextFile(log) + ReadTextFile(prefix + "/error.log");
    }
    throw std::runtime_error("nginx did not start on 127.0.0.1: " + lastLog);
}

NginxServer::~NginxServer() { process_.Stop(); }

std::string NginxServer::TlsUrl(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(tlsPort_) + path;
}

std::string NginxServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace trawler::testsupport
