// A socket on 127.0.0.1 that accepts connections and closes each at once,
// counting them: a server that speaks no protocol at all.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

class ClosingListener {
 public:
  ClosingListener() {
    FSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(FSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(FSocket, 16) != 0 ||
        ::getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    FPort = ntohs(address.sin_port);
    FThread = std::thread([this] {
      while (!FStopping) {
        pollfd p{FSocket, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const int connection = ::accept4(FSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        ++FAccepted;
        ::close(connection);
      }
    });
  }
  ~ClosingListener() {
    FStopping = true;
    if (FThread.joinable()) FThread.join();
    ::close(FSocket);
  }
  ClosingListener(const ClosingListener&) = delete;
  ClosingListener& operator=(const ClosingListener&) = delete;

  int Port() const { return FPort; }
  int Accepted() const { return FAccepted; }

 private:
  int FSocket = -1;
  int FPort = 0;
  std::atomic<bool> FStopping{false};
  std::atomic<int> FAccepted{0};
  std::thread FThread;
};

// A port on 127.0.0.1 where nothing listens.
inline int UnusedPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(s);
  return ntohs(address.sin_port);
}
