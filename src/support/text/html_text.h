#pragma once
// HTML and XML text handling for extracted result fields.

#include <string>
#include <string_view>

namespace trawler::text {

// Turns a fragment of result-page HTML into one line of plain text: decodes the common
// entities and percent codes, turns every tag into one space (spaces around it collapse),
// decodes numeric character references and normalises line breaks. "&#N;" (decimal or
// hexadecimal "x" form) becomes the character U+N; 128..159 are read as their Windows-1252
// characters, as browsers do; a value that is not a character keeps its text ("&#abc;" gives
// "abc"). Runs in time linear in the input.
std::string HtmlToText(std::string_view html);

// The line breaks and tabs gone as HtmlToText removes them: CR LF pairs, then single
// LFs, then tabs (a CR on its own stays).
std::string RemoveLineBreaksAndTabs(std::string_view text);

// Escapes & " < > ' as XML entities (in that order of priority: "&" first).
std::string XmlEscape(std::string_view text);
// Decodes &quot; &lt; &gt; &apos; and, last, &amp; (ignoring case): "&amp;lt;" gives "&lt;".
std::string XmlUnescape(std::string_view text);

// CR CR becomes CR LF; LF LF becomes CR LF (repeatedly); runs of CR LF collapse to one; spaces
// after a CR LF are dropped. Linear in the input.
std::string NormalizeLineBreaks(std::string_view text);

// The HTML with the query words in bold: text outside tags gets every occurrence
// (ignoring case) of each word longer than three characters wrapped as "<b>word</b>",
// unless the piece already holds "<b>" + words + "</b>". Tags are copied unchanged.
std::string HighlightWords(std::string_view html, std::string_view words);

}  // namespace trawler::text
