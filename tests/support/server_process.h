#pragma once

// Helpers for the test servers started from Debian's packages (nginx, tinyproxy):
// a private temporary directory, a free port on 127.0.0.1, and a child process that is
// waited for until it accepts connections and is stopped when the object goes away.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace trawler::testsupport {

// A fresh directory under $TMPDIR (or /tmp), removed with its contents on destruction.
class TempDir {
public:
    explicit TempDir(const std::string& prefix);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A port on 127.0.0.1 nobody listened on a moment ago.
int FreeLoopbackPort();

// True once something accepts TCP connections on 127.0.0.1:port; false after `timeout`, or
// as soon as `alive` (when given) says the server process has gone.
bool WaitForPort(int port, std::chrono::milliseconds timeout,
                 const std::function<bool()>& alive = {});

void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

// A child program (no shell involved); SIGTERM, then SIGKILL, on destruction.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with args (args[0] is the program's name); stdout and stderr go to
    // logPath. Returns false when it could not be started.
    bool Start(const std::vector<std::string>& args, const std::string& logPath);
    bool Running();
    // Waits for the program to end; its exit status, or -1 when it did not exit normally.
    int Wait();
    void Stop();

private:
    pid_t pid_ = -1;
};

}  // namespace trawler::testsupport
