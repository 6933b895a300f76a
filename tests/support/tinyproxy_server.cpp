#include "support/tinyproxy_server.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>

namespace trawler::testsupport {

TinyproxyServer::TinyproxyServer() : dir_("trawler-tinyproxy") {
    if (::access(kProgram, X_OK) != 0)
        throw std::runtime_error(std::string(kProgram) +
                                 " is missing: install Debian's tinyproxy package "
                                 "(./run.sh test installs it)");
    const std::string prefix = dir_.Path();
    std::string lastLog;
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = FreeLoopbackPort();
        std::string conf;
        if (::geteuid() == 0) {
            // tinyproxy drops root rights to this user; keep root so it can write its log
            // in our private folder.
            conf += "User root\nGroup root\n";
        }
        conf += "Port " + std::to_string(port_) + "\n";
        conf += "Listen 127.0.0.1\n";
        conf += "Timeout 30\n";
        conf += "MaxClients 20\n";
        conf += "Allow 127.0.0.1\n";
        conf += "LogLevel Info\n";
        conf += "LogFile \"" + prefix + "/tinyproxy.log\"\n";
        conf += "PidFile \"" + prefix + "/tinyproxy.pid\"\n";
        conf += "BasicAuth " + User() + " " + Password() + "\n";
        conf += "DisableViaHeader Yes\n";
        WriteTextFile(prefix + "/tinyproxy.conf", conf);
        const std::string log = prefix + "/output.log";
        if (!process_.Start({kProgram, "-d", "-c", prefix + "/tinyproxy.conf"}, log))
            throw std::runtime_error("cannot start " + std::string(kProgram));
        if (WaitForPort(port_, std::chrono::seconds(5), [this] { return process_.Running(); }))
            return;
        process_.Stop();
        lastLog = ReadTextFile(log) + Log();
    }
    throw std::runtime_error("tinyproxy did not start on 127.0.0.1: " + lastLog);
}

TinyproxyServer::~TinyproxyServer() { process_.Stop(); }

std::string TinyproxyServer::Log() const { return ReadTextFile(dir_.Path() + "/tinyproxy.log"); }

}  // namespace trawler::testsupport
