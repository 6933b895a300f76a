#include "core/view/black_list_commands.h"

#include "results/results_list.h"
#include "support/lang/lang_list.h"
#include "support/lang/message_format.h"
#include "support/text/case_folding.h"
#include "support/text/url.h"

namespace trawler::core::view {

std::string AddToBlackList(results::tResultsList& list, const std::string& text, bool permanent,
                           const lang::tALanglist& lang) {
  if (text.empty()) return {};
  list.AddBlack(text, true, permanent);
  const int message = text.find("://") != std::string::npos ? 35 : 37;
  return lang::FormatMessage(lang.MessageText(message), {text});
}

std::string BlackListTextOfUrl(std::string_view url, bool permanent) {
  std::string text = text::NormalizeUrl(url, true);
  return permanent ? text::LowerText(text) : text;
}

void WithTemporaryRefresh(results::tResultsList& list, const std::function<void()>& addEntries) {
  const int before = list.TemporaryCount();
  if (addEntries) addEntries();
  if (!list.ShowsPermanent() && list.TemporaryCount() <= before) list.ShowBlackList(false);
}

}  // namespace trawler::core::view
