#pragma once

// tUpdates: fetches the update descriptor from the configured addresses,
// trying each in turn, and keeps what the last readable one said.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/http_client.h"
#include "support/update/update_descriptor.h"

namespace trawler::update {

class tUpdates {
 public:
  explicit tUpdates(platform::EventLoop &loop);
  ~tUpdates();

  std::string CheckVersion;  // the running program's version
  std::string Proxy;
  int ProxyPort = 0;
  std::string ProxyUser, ProxyPassword;
  std::string ProxyOverride;  // ";"-separated host masks that bypass the proxy
  std::string UserAgent;
  // Raised once at the end of every check, successful or not.
  std::function<void()> OnCheck;

  // Descriptor addresses, in the order tried; replaced by a read descriptor's
  // own list when it has one.
  std::vector<std::string> UpdateUrls;
  int Tag = 0;  // 0 not started, 1 automatic, 2 by the user

  // Starts an asynchronous check; a running one is cancelled first.
  void CheckForUpdates();
  void Cancel();
  bool Busy() const;
  bool Success() const { return FSuccess; }
  const UpdateDescriptor &Descriptor() const { return FDescriptor; }
  UpdateDescriptor &Descriptor() { return FDescriptor; }

  // A descriptor larger than this is not a descriptor.
  static constexpr std::size_t kMaxDescriptorBytes = 1u << 20;

 private:
  void TryAddress();
  void RequestDone(int error);
  void Finish();

  platform::HttpClient FHttp;
  std::vector<std::string> FAddresses;  // snapshot of UpdateUrls for this check
  size_t FIndex = 0;
  std::string FBody;
  bool FSuccess = false;
  UpdateDescriptor FDescriptor;
};

}  // namespace trawler::update
