// Where the program's own services live: home page, on-line help, update
// descriptors and the contact address. All of them hang off one base address
// so that a fork or a mirror changes a single line (or builds with
// -DTRAWLER_SERVICE_BASE_URL='"https://..."'). The lists are only first-run
// defaults; the user's copies under the "urls" key win from then on.
#pragma once

#include <string>
#include <string_view>

#include "support/settings/url_list.h"

namespace trawler::settings {

// "https://trawler.example.org" unless the build says otherwise.
std::string_view ServiceBaseUrl();

// The product's home page (base + "/trawler/") and the site root (base + "/").
std::string ProductHomePage();
std::string ServiceSiteRoot();

// The descriptor file name that every update address ends in.
inline constexpr std::string_view kUpdateDescriptorName = "twlver.xml";

// First-run contents of the lists that have defaults. The donation and
// statistics lists have none: with no address their commands stay disabled.
UrlList DefaultHomeUrls();    // "0" home page, "1059" and "1058" site root
UrlList DefaultHelpUrls();    // the same as the home list
UrlList DefaultEmailUrls();   // "0" contact address at the base's host
std::vector<std::string> DefaultUpdateUrls();  // primary and mirror descriptor

}  // namespace trawler::settings
