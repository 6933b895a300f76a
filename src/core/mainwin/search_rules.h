#pragma once
// Small decisions of the search flow, kept apart from the window so they can be checked.

#include <string>
#include <vector>

namespace trawler::mainwin {

// The unsaved-results question is asked only when results would be thrown away and the
// user wants to be asked.
bool ShouldAskToSave(bool clearListBeforeSearch, bool saved, int resultCount, bool saveAtClose);
// The closing question: the same without the clearing condition.
bool ShouldAskAtClose(bool saved, int resultCount, bool saveAtClose);

// Connections of the search: one is left to the link checker when it runs automatically.
int SearchConnections(int connectionsLimit, bool autoCheckLinks);
// The link checker's workers while a search runs, and when it is paused or over.
int CheckerSlotsWhileSearching(bool autoCheckLinks);
int CheckerSlotsAfterSearch(int connectionsLimit, bool autoCheckLinks);

// Message numbers that forbid a search in the retrieved results (empty: it may run).
std::vector<int> RetrievedSearchErrors(int match, bool gridShown, int match1, int match2,
                                       int match3);

// The address of "DonationWare...": the donation address, else the home page address.
std::string DonationAddress(const std::string &donation, const std::string &home);
// The mail addresses of Send Mail and Propose server ("" when there is no address).
std::string MailAddress(const std::string &address, bool proposeServer);

}  // namespace trawler::mainwin
