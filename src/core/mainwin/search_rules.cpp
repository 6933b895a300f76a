#include "core/mainwin/search_rules.h"

namespace trawler::mainwin {

bool ShouldAskToSave(bool clearListBeforeSearch, bool saved, int resultCount, bool saveAtClose) {
  return clearListBeforeSearch && ShouldAskAtClose(saved, resultCount, saveAtClose);
}

bool ShouldAskAtClose(bool saved, int resultCount, bool saveAtClose) {
  return !saved && resultCount > 0 && saveAtClose;
}

int SearchConnections(int connectionsLimit, bool autoCheckLinks) {
  const int connections = autoCheckLinks ? connectionsLimit - 1 : connectionsLimit;
  return connections < 1 ? 1 : connections;
}

int CheckerSlotsWhileSearching(bool autoCheckLinks) { return autoCheckLinks ? 1 : 0; }

int CheckerSlotsAfterSearch(int connectionsLimit, bool autoCheckLinks) {
  return autoCheckLinks ? connectionsLimit : 0;
}

std::vector<int> RetrievedSearchErrors(int match, bool gridShown, int match1, int match2,
                                       int match3) {
  std::vector<int> errors;
  if (match == 3) errors.push_back(34);
  if (gridShown && match1 == 1 && match2 == 1 && match3 == 1) errors.push_back(19);
  return errors;
}

std::string DonationAddress(const std::string &donation, const std::string &home) {
  return donation.empty() ? home : donation;
}

std::string MailAddress(const std::string &address, bool proposeServer) {
  if (address.empty()) return {};
  std::string mail = "mailto:" + address;
  if (proposeServer) mail += "?subject=Please add this server to your nice app";
  return mail;
}

}  // namespace trawler::mainwin
