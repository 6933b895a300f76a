// Taking the outcome of a link check into the result list.

#include "results/bot_result.h"
#include "results/results_list.h"
#include "support/text/integer_text.h"

namespace trawler::results {

void tResultsList::ApplyCheckResult(const tBotResult& result, bool deleteBad) {
  if (result.Url.empty()) return;
  // Byte-identical addresses share a same-page key, so the first result in
  // list order with exactly this main address is in that key's bucket: a
  // check costs the same in a list of ten results and of a hundred thousand.
  const UrlIndex::Bucket* bucket = FSamePageIndex.Find(SamePageKey(result.Url));
  tUrlResult* target =
      bucket ? bucket->FindFirst([&](const tUrlResult* r) { return r->MainUrl() == result.Url; })
             : nullptr;
  if (!target) return;

  // No answer tells nothing about the page: the reason is kept for the
  // user, the marks stay as they were.
  const bool answered = !result.Code.empty();
  const int code = text::IntOfText(result.Code, 0);
  if (result.Date > 0) target->Date = result.Date;
  target->Code = code;
  target->Reason = result.Reason;
  if (!result.Location.empty()) target->AddUrl(result.Location);
  target->ContentType = result.ContentType;
  target->Size = result.Size;
  target->Server = result.Server;

  if (deleteBad && (code == 404 || code == 503)) {
    FreeResult(target);
    return;
  }
  // The check state is set directly: a check is no edit of the result set,
  // so Saved stays as it was.
  if (answered) target->CheckState = code < 400 ? csGood : csBad;
  target->RefreshRow();
}

}  // namespace trawler::results
