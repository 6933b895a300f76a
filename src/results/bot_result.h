// The outcome of one link check: what the HEAD request to a result's address
// told about the page. The link checker makes one for every address it
// checks and hands it to its owner, which applies it to the result list.
#pragma once

#include <string>

#include "support/text/dates.h"

namespace trawler::results {

struct tBotResult {
  std::string Url;          // the address that was checked
  std::string Code;         // status code as decimal text; "0" for a scheme
                            // that is not checked; empty when no answer came
  std::string Reason;       // the answer's status line, "Protocol FTP not
                            // supported", or why no answer came
  std::string Server;       // value of the Server header
  std::string ContentType;  // value of the Content-Type header
  std::string Location;     // absolute redirect target of a 301 answer
  std::string Size;         // content length and accepted ranges ("512 bytes")
  text::TDateTime Date = 0; // Last-Modified in local time, 0 when none
};

// Reasons of checks that got no answer; the result keeps "not checked".
inline constexpr const char* kCheckConnectionFailed = "Connection failed";
inline constexpr const char* kCheckTimedOut = "Timed out";

}  // namespace trawler::results
