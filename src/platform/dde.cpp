#include "platform/dde.h"

#include <utility>

namespace trawler::platform {

DdeConversation::DdeConversation(std::string service, std::string topic)
    : FService(std::move(service)), FTopic(std::move(topic)) {}

bool DdeConversation::Open() {
  FOpen = false;
  return FOpen;
}

std::string DdeConversation::Request(const std::string &) { return {}; }

void DdeConversation::Close() { FOpen = false; }

}  // namespace trawler::platform
