#pragma once

// The browsers' conversation interface (WWW_OpenURL). Linux browsers offer
// no such servers, so a conversation never opens; callers then take their
// fallback path of starting the browser with the address.

#include <string>

namespace trawler::platform {

class DdeConversation {
 public:
  DdeConversation(std::string service, std::string topic);
  // True when a server answered. Always false here: no servers exist.
  bool Open();
  // Sends `item` as a request; empty answer when not open.
  std::string Request(const std::string &item);
  void Close();
  bool IsOpen() const { return FOpen; }
  const std::string &Service() const { return FService; }
  const std::string &Topic() const { return FTopic; }

 private:
  std::string FService;
  std::string FTopic;
  bool FOpen = false;
};

}  // namespace trawler::platform
