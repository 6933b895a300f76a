#include "core/mainwin/related_links.h"

#include <algorithm>

#include "support/text/case_folding.h"
#include "support/text/utf8.h"

namespace trawler::mainwin {

std::string LinkHint(const std::vector<std::string> &description) {
  std::string hint;
  for (const std::string &line : description) {
    if (!hint.empty()) hint += ' ';
    hint += line;
  }
  std::replace(hint.begin(), hint.end(), '\r', ' ');
  std::replace(hint.begin(), hint.end(), '\n', ' ');
  if (text::Utf8Length(hint) > kLinkHintMax) hint = text::CutToChars(hint, kLinkHintKeep) + "...";
  return hint;
}

namespace {

// Inserts before the first entry whose caption sorts after the new one.
void InsertSorted(std::vector<LinkEntry> &entries, LinkEntry entry) {
  const auto at = std::find_if(entries.begin(), entries.end(), [&](const LinkEntry &e) {
    return text::CompareTextIgnoreCase(e.Caption, entry.Caption) > 0;
  });
  entries.insert(at, std::move(entry));
}

}  // namespace

std::vector<RegionLinks> BuildRelatedLinks(const std::vector<std::string> &regions,
                                           const std::vector<LinkSite> &sites) {
  std::vector<const LinkSite *> ordered;
  ordered.reserve(sites.size());
  for (const LinkSite &site : sites) ordered.push_back(&site);
  std::stable_sort(ordered.begin(), ordered.end(), [](const LinkSite *a, const LinkSite *b) {
    return text::CompareTextIgnoreCase(a->Caption, b->Caption) < 0;
  });

  std::vector<RegionLinks> menus;
  menus.reserve(regions.size());
  for (const std::string &region : regions) {
    RegionLinks links{region, {}};
    for (const LinkSite *site : ordered) {
      if (!text::SameTextIgnoreCase(site->Region, region)) continue;
      LinkSubmenu *menu = &links.Menu;
      while (menu->Entries.size() >= kLinksPerSubmenu) {
        if (!menu->Next) menu->Next = std::make_unique<LinkSubmenu>();
        menu = menu->Next.get();
      }
      InsertSorted(menu->Entries, LinkEntry{site->Caption, LinkHint(site->Description)});
    }
    menus.push_back(std::move(links));
  }
  return menus;
}

}  // namespace trawler::mainwin
