#include "core/view/describe_result.h"

#include "core/engine_list.h"
#include "core/view/html_escape.h"
#include "results/html_inline.h"
#include "results/results_list.h"
#include "results/url_result.h"
#include "support/lang/lang_list.h"
#include "support/lang/message_format.h"
#include "support/text/code_pages.h"
#include "support/text/dates.h"
#include "support/text/html_text.h"
#include "support/text/string_toolkit.h"

namespace trawler::core::view {

namespace {

constexpr std::string_view kRule = "<hr width=100% color=000000>";

std::string Message(const lang::tALanglist& lang, int number, std::string_view value) {
  // Message texts may hold markup of their own; the value from the server may not.
  return lang::FormatMessage(lang.MessageText(number), {EscapeHtmlText(value)});
}

std::string Link(std::string_view url, std::string_view attributes, std::string_view innerHtml) {
  std::string out = "<a href=\"";
  out += EscapeHtmlAttribute(url);
  out += '"';
  out += attributes;
  out += '>';
  out += innerHtml;
  out += "</a>";
  return out;
}

}  // namespace

EngineLookup EngineLookupOf(const TEngineList& engines) {
  return [&engines](const std::string& key) -> std::optional<EngineLink> {
    const TEngine* engine = engines.FindEngine(key);
    if (!engine) return std::nullopt;
    return EngineLink{engine->HomeUrl, engine->Caption};
  };
}

std::string HighlightedWords(const results::tResultsList& list, bool searchInRetrievedOn) {
  return searchInRetrievedOn ? list.FilterText() : list.Keywords;
}

std::string ApplyDisplayOptions(std::string_view safeHtml, std::string_view words,
                                const DescribeOptions& options) {
  std::string text = text::HighlightWords(safeHtml, words);
  // The repair tables and transliteration change only non-ASCII letters, so
  // the escapes and the bold tags pass through them unchanged.
  if (options.Decoding == tDecoding::Koi8r) {
    text = text::ConvertByTable(text, text::KoiToWinTable);
  } else if (options.Decoding == tDecoding::Cp866) {
    text = text::ConvertByTable(text, text::DosToWinTable);
  }
  if (options.Translit) text = text::Transliterate(text);
  return text;
}

std::string DescribeResult(const results::tUrlResult& result, std::string_view words,
                           const DescribeOptions& options, const lang::tALanglist& lang,
                           const EngineLookup& engines) {
  const std::string title = ApplyDisplayOptions(EscapeHtmlText(result.Title), words, options);
  const std::string description =
      ApplyDisplayOptions(results::SafeInlineHtml(result.Description), words, options);

  std::string html = "<b>" + lang.CaptionText(130) + ":</b> ";
  html += Link(result.MainUrl(), " target=\"_blank\"", title);

  const std::vector<std::string> others = result.OtherUrls();
  if (others.empty()) {
    html += "<br>";
  } else {
    html += kRule;
    for (std::size_t i = 0; i < others.size(); ++i) {
      if (i > 0) html += "<br>";
      html += Link(others[i], "", "URL#" + std::to_string(i));
    }
    html += kRule;
  }

  html += "<b>" + lang.CaptionText(131) + ":</b> ";
  for (const std::string& key : result.Engines) {
    const std::optional<EngineLink> engine = engines ? engines(key) : std::nullopt;
    if (engine) {
      const std::string caption =
          options.Translit ? text::Transliterate(engine->Caption) : engine->Caption;
      html += " " + Link(engine->HomeUrl, "", EscapeHtmlText(caption));
    } else {
      const std::string shown = options.Translit ? text::Transliterate(key) : key;
      html += " " + EscapeHtmlText(shown) + " (Unlisted or renamed)";
    }
  }

  if (result.Date > 0) {
    html += "<br><b>" + lang.CaptionText(238) + ": </b>" +
            EscapeHtmlText(text::FormatLocaleShortDate(result.Date));
  }
  if (result.Relevance > 0) {
    html += "<br><b>" + lang.CaptionText(239) + ": </b>" + std::to_string(result.Relevance) + "%";
  }

  if (!text::TrimBlanks(description).empty()) {
    html += kRule;
    html += description;
  }

  if (!result.Server.empty() || !result.Reason.empty() || !result.Size.empty() ||
      !result.ContentType.empty()) {
    html += kRule;
    if (!result.Reason.empty() && result.Code > 0) {
      html += "<br>" + Message(lang, result.Code >= 400 ? 10 : 11, result.Reason);
    }
    if (!result.Server.empty()) html += "<br>" + Message(lang, 13, result.Server);
    if (!result.ContentType.empty()) html += "<br>" + Message(lang, 14, result.ContentType);
    if (!result.Size.empty()) html += "<br>" + Message(lang, 24, result.Size);
  }
  return html;
}

}  // namespace trawler::core::view
