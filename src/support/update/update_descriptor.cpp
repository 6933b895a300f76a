#include "support/update/update_descriptor.h"

#include <algorithm>
#include <cctype>

#include "support/update/version_compare.h"
#include "support/xml/xml_tree.h"

namespace trawler::update {

namespace {

std::string Upper(std::string s) {
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool NameIs(const xml::TdewXMLNode &n, std::string_view upperName) { return Upper(n.Name) == upperName; }

std::vector<std::string> NameValueList(const xml::TdewXMLNode &n) {
  std::vector<std::string> out;
  for (const auto &c : n.Children) out.push_back(c->Name + "=" + c->Value);
  return out;
}

std::vector<std::string> PlainList(const xml::TdewXMLNode &n) {
  std::vector<std::string> out;
  for (const auto &c : n.Children) out.push_back(c->Value);
  return out;
}

std::string Lower(std::string s) {
  for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

tUpdateInfo ReadUpdate(const xml::TdewXMLNode &node) {
  tUpdateInfo u;
  std::vector<std::string> sums;
  bool singleSum = false;
  for (const auto &c : node.Children) {
    const std::string name = Upper(c->Name);
    if (name == "DATE") u.date = text::ParseDateByPattern(c->Value, text::kStandardDatePattern);
    else if (name == "VERSION") u.version = Trim(c->Value);
    else if (name == "REQUIRED") u.required = Upper(Trim(c->Value)) == "TRUE";
    else if (name == "REQUIRED_VERSION") u.requiredVersion = Upper(Trim(c->Value));
    else if (name == "ACTION") u.action = Upper(Trim(c->Value));
    else if (name == "ID") u.id = Upper(Trim(c->Value));
    else if (name == "CHECKBY") {
      const std::string v = Upper(Trim(c->Value));
      u.checkBy = v == "DATE" ? CheckBy::Date : v == "VERSION" ? CheckBy::Version : CheckBy::None;
    } else if (name == "NAME") u.names = NameValueList(*c);
    else if (name == "INFO") u.infos = NameValueList(*c);
    else if (name == "URLS") {
      u.urls = PlainList(*c);
      for (auto &url : u.urls) url = Trim(url);
    }
    else if (name == "SHA256") {
      // Either one checksum per address, in the order of URLS, or one text
      // that every address's download must match.
      if (c->Children.empty()) sums.assign(1, Lower(Trim(c->Value)));
      else {
        sums.clear();
        for (const auto &entry : c->Children) sums.push_back(Lower(Trim(entry->Value)));
      }
      singleSum = c->Children.empty();
    }
  }
  if (singleSum && !sums.empty()) sums.assign(u.urls.size(), sums.front());
  u.sha256 = std::move(sums);
  u.sha256.resize(u.urls.size());
  return u;
}

bool RequiredVersionExcludes(const tUpdateInfo &u, std::string_view programVersion) {
  return !u.requiredVersion.empty() && CompareVersions(u.requiredVersion, programVersion) > 0;
}

}  // namespace

bool ParseUpdateDescriptor(std::string_view content, UpdateDescriptor &out) {
  xml::TdewXMLTree tree;
  tree.LoadFromText(content);
  const xml::TdewXMLNode *main = xml::FindNode(tree, "main");
  if (!main) return false;
  UpdateDescriptor d;
  if (const xml::TdewXMLNode *general = xml::FindNode(*main, "general")) {
    for (const auto &c : general->Children) {
      const std::string name = Upper(c->Name);
      if (name == "DATE") d.date = text::ParseDateByPattern(c->Value, text::kStandardDatePattern);
      else if (name == "HOMEPAGE") d.homePages = NameValueList(*c);
      else if (name == "DONATION") d.donations = NameValueList(*c);
      else if (name == "UPDATEURL") d.updateUrls = PlainList(*c);
      else if (name == "HELP") d.help = NameValueList(*c);
      else if (name == "EMAIL") d.emails = NameValueList(*c);
      else if (name == "STAT_CGI") d.statCgi = Trim(c->Value);
      else if (name == "MESSAGE") d.messages = NameValueList(*c);
      else if (name == "STAT") d.stats = NameValueList(*c);
    }
  }
  if (const xml::TdewXMLNode *updates = xml::FindNode(*main, "updates")) {
    for (const auto &c : updates->Children)
      if (NameIs(*c, "UPDATE")) d.updates.push_back(ReadUpdate(*c));
  }
  out = std::move(d);
  return true;
}

bool UpdateCounts(const tUpdateInfo &u, std::string_view programVersion) {
  if (RequiredVersionExcludes(u, programVersion)) return false;
  switch (u.checkBy) {
    case CheckBy::Date: return u.date > u.localDate;
    case CheckBy::Version: return CompareVersions(u.localVersion, u.version) < 0;
    case CheckBy::None: break;
  }
  return !u.requiredVersion.empty();
}

bool UpdateListed(const tUpdateInfo &u, std::string_view programVersion) {
  if (u.checkBy == CheckBy::None) return !RequiredVersionExcludes(u, programVersion);
  return UpdateCounts(u, programVersion);
}

std::string LineForLanguage(const std::vector<std::string> &lines, std::string_view language) {
  auto valueOf = [](const std::string &line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
  };
  for (std::string_view want : {language, std::string_view("0")})
    for (const auto &line : lines) {
      const size_t eq = line.find('=');
      if (eq != std::string::npos && std::string_view(line).substr(0, eq) == want) return valueOf(line);
    }
  return lines.empty() ? std::string() : valueOf(lines.front());
}

}  // namespace trawler::update
