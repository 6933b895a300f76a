#include "results/waymark.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "results/export_progress.h"
#include "results/export_file.h"
#include "results/result_set_text.h"
#include "support/text/html_text.h"
#include "support/text/string_toolkit.h"
#include "support/text/url.h"
#include "support/text/utf8.h"

namespace trawler::results {

namespace {

constexpr std::string_view kShortcutSection = "InternetShortcut";
constexpr std::string_view kDefaultSection = "DEFAULT";
constexpr std::string_view kDescriptionSection = "Description";
constexpr std::string_view kWaymarkSection = "Waymark";
constexpr std::string_view kForbidden = "\\/:*?\"<>|";
constexpr std::array<std::string_view, 8> kExtendedKeys = {
    "Browser", "Accessed", "LastChecked", "CheckResult",
    "LastSuccefullCheck", "Checkable", "Checked", "Publishable"};
// Shortcut files are small; anything larger is not one.
constexpr std::size_t kMaxShortcutFile = std::size_t{4} << 20;
// Bytes of a title in a file name: leaves room for " (NNNN)", ".url" and the
// temporary file's suffix within the 255 bytes of a name.
constexpr std::size_t kMaxTitleBytes = 200;

bool IsExtendedKey(std::string_view key) {
  return std::any_of(kExtendedKeys.begin(), kExtendedKeys.end(),
                     [key](std::string_view k) { return SameIniName(k, key); });
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

// The title a shortcut without one gets: the host of its address (without
// user information and port), else the address up to its first "/".
std::string UrlHostForTitle(const std::string& url) {
  std::string host = text::UrlHost(url);
  if (host.empty()) host = url.substr(0, url.find('/'));
  if (ShortcutFileTitle(host).empty()) host = "Shortcut";
  return host;
}

// A file name without its extension ("a.b.url" gives "a.b", ".url" gives "").
std::string WithoutExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ExtensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

// ---- TUrlSection

std::string TUrlSection::Value(std::string_view key) const {
  const int at = FindIniKey(Lines, key);
  return at < 0 ? std::string() : std::string(IniValue(Lines[static_cast<std::size_t>(at)]));
}

bool TUrlSection::HasKey(std::string_view key) const { return FindIniKey(Lines, key) >= 0; }

void TUrlSection::Set(std::string_view key, std::string_view value) {
  const std::string line = OneLine(key) + "=" + OneLine(value);
  const int at = FindIniKey(Lines, key);
  if (at < 0)
    Lines.push_back(line);
  else
    Lines[static_cast<std::size_t>(at)] = line;
}

void TUrlSection::Delete(std::string_view key) {
  const int at = FindIniKey(Lines, key);
  if (at >= 0) Lines.erase(Lines.begin() + at);
}

bool TUrlSection::IsClean() const {
  if (SameIniName(Name, kShortcutSection))
    return std::none_of(Lines.begin(), Lines.end(),
                        [](const std::string& l) { return IsExtendedKey(IniKey(l)); });
  if (SameIniName(Name, kWaymarkSection)) return !HasKey("Checked");
  return true;
}

void TUrlSection::Convert() {
  if (SameIniName(Name, kShortcutSection)) {
    std::erase_if(Lines, [](const std::string& l) {
      return IniKey(l).empty() || IniValue(l).empty() || IsExtendedKey(IniKey(l));
    });
  } else if (SameIniName(Name, kWaymarkSection)) {
    std::erase_if(Lines, [](const std::string& l) {
      return IniKey(l).empty() || SameIniName(IniKey(l), "Checked");
    });
  }
}

// ---- TWaymark

TWaymark::TWaymark() = default;
TWaymark::~TWaymark() = default;

void TWaymark::Error(int code) {
  if (OnFileError) OnFileError(*this, code);
}

TUrlSection* TWaymark::FindSection(std::string_view name) const {
  for (const auto& s : FSections)
    if (SameIniName(s->Name, name)) return s.get();
  return nullptr;
}

TUrlSection& TWaymark::AddSection(std::string name) {
  FSections.push_back(std::unique_ptr<TUrlSection>(new TUrlSection(*this, OneLine(name))));
  return *FSections.back();
}

void TWaymark::Clear() {
  FSections.clear();
  FLoaded = false;
}

void TWaymark::Load() {
  Clear();
  if (UrlType != utModify) return;
  if (!FileExists(FPath)) {
    Error(ueFileMissing);
    return;
  }
  std::string content;
  try {
    content = ReadFileForLoad(FPath, kMaxShortcutFile);
  } catch (const ResultSetError&) {
    Error(ueCannotOpen);
    return;
  }
  bool clean = true;
  for (IniSection& s : ParseIni(content)) {
    TUrlSection& section = AddSection(std::move(s.Name));
    section.Lines = std::move(s.Lines);
    if (AutoConvert && !section.IsClean()) {
      section.Convert();
      clean = false;
    }
  }
  FLoaded = true;
  if (AutoConvert && !clean) Rewrite();
}

void TWaymark::EnsureLoaded() {
  if (UrlType == utModify && !FLoaded) Load();
}

void TWaymark::SetPathParts(const std::string& path) {
  const std::filesystem::path p(path);
  FPath = path;
  FFileName = p.filename().string();
  std::string folder = p.parent_path().string();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  FFolder = folder;
}

bool TWaymark::SetFileName(const std::string& path) {
  if (UrlType == utModify && !FileExists(path)) {
    Error(ueFileMissing);
    return false;
  }
  SetPathParts(path);
  Clear();
  return true;
}

std::string TWaymark::GetUrl() {
  EnsureLoaded();
  if (const TUrlSection* d = FindSection(kDefaultSection)) return d->Value("BASEURL");
  if (const TUrlSection* s = FindSection(kShortcutSection)) return s->Value("URL");
  return {};
}

void TWaymark::SetUrl(const std::string& url) {
  EnsureLoaded();
  TUrlSection* d = FindSection(kDefaultSection);
  TUrlSection* s = FindSection(kShortcutSection);
  if (d) d->Set("BASEURL", url);
  if (s) s->Set("URL", url);
  if (!d && !s) AddSection(std::string(kShortcutSection)).Set("URL", url);
}

std::string TWaymark::GetTitle() {
  EnsureLoaded();
  return WithoutExtension(FFileName);
}

void TWaymark::SetTitle(const std::string& title) {
  EnsureLoaded();
  const std::string clean = ShortcutFileTitle(title);
  if (UrlType == utModify) {
    const std::string extension = ExtensionOf(FFileName);
    const std::string target = FFolder + clean + extension;
    if (target == FPath) return;
    // Never rename over another file.
    if (FileExists(target) || ::rename(FPath.c_str(), target.c_str()) != 0) {
      Error(ueRenameFailed);
      return;
    }
    SetPathParts(target);
    return;
  }
  SetPathParts(FFolder + clean + ".url");
}

std::string TWaymark::DateSeconds(text::TDateTime date) {
  if (date == 0) return "0";
  return std::to_string(static_cast<long long>(text::UnixFromLocalDateTime(date)));
}

void TWaymark::SetDateKey(const char* section, const char* key, text::TDateTime date) {
  if (!WaymarkEnabled) return;
  EnsureLoaded();
  TUrlSection* s = FindSection(section);
  if (!s) {
    if (date == 0) return;
    s = &AddSection(section);
  }
  s->Set(key, DateSeconds(date));
}

void TWaymark::SetLastModified(text::TDateTime date) {
  SetDateKey("InternetShortcut", "LastModified", date);
}
void TWaymark::SetLastChecked(text::TDateTime date) { SetDateKey("Waymark", "LastChecked", date); }
void TWaymark::SetLastSuccessfulCheck(text::TDateTime date) {
  SetDateKey("Waymark", "LastSuccefullCheck", date);
}

void TWaymark::SetCheckResult(const std::string& text) {
  if (!WaymarkEnabled) return;
  EnsureLoaded();
  TUrlSection* s = FindSection(kWaymarkSection);
  if (!s) {
    if (!text.empty()) AddSection(std::string(kWaymarkSection)).Set("CheckResult", text);
    return;
  }
  if (text.empty())
    s->Delete("CheckResult");
  else
    s->Set("CheckResult", text);
}

std::string TWaymark::GetDescription() {
  EnsureLoaded();
  const TUrlSection* s = FindSection(kDescriptionSection);
  std::string joined;
  if (!s) return joined;
  for (std::size_t i = 0; i < s->Lines.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += IniValue(s->Lines[i]);
  }
  return joined;
}

void TWaymark::SetDescription(const std::string& text) {
  EnsureLoaded();
  TUrlSection* s = FindSection(kDescriptionSection);
  if (!s) {
    if (text.empty()) return;
    s = &AddSection(std::string(kDescriptionSection));
  }
  s->Lines.clear();
  const std::vector<std::string> lines = SplitLines(text::TrimBlanks(text));
  for (std::size_t i = 0; i < lines.size(); ++i) s->Lines.push_back(std::to_string(i) + "=" + OneLine(lines[i]));
}

bool TWaymark::IsClean() {
  EnsureLoaded();
  return std::all_of(FSections.begin(), FSections.end(),
                     [](const auto& s) { return s->IsClean(); });
}

std::vector<IniSection> TWaymark::HeldSections() const {
  std::vector<IniSection> held;
  for (const auto& s : FSections) held.push_back({s->Name, s->Lines});
  return held;
}

bool TWaymark::WriteSections(bool keepOthers) {
  std::vector<IniSection> sections;
  if (keepOthers && FileExists(FPath)) {
    try {
      sections = ParseIni(ReadFileForLoad(FPath, kMaxShortcutFile));
    } catch (const ResultSetError&) {
      Error(ueCannotOpen);
      return false;
    }
  }
  // A held section replaces the file's section of that name where it stands;
  // the others follow in their order.
  for (IniSection& mine : HeldSections()) {
    auto at = std::find_if(sections.begin(), sections.end(),
                           [&](const IniSection& s) { return SameIniName(s.Name, mine.Name); });
    if (at != sections.end())
      *at = std::move(mine);
    else
      sections.push_back(std::move(mine));
  }
  try {
    WriteExport(FPath, FormatIni(sections), false);
  } catch (const ResultSetError&) {
    Error(ueWriteFailed);
    return false;
  }
  return true;
}

bool TWaymark::MakePathUnique() {
  if (!FileExists(FPath)) return true;
  const std::string stem = WithoutExtension(FFileName);
  const std::string extension = ExtensionOf(FFileName);
  for (int n = 2; n < 10000; ++n) {
    const std::string candidate = FFolder + stem + " (" + std::to_string(n) + ")" + extension;
    if (!FileExists(candidate)) {
      SetPathParts(candidate);
      return true;
    }
  }
  return false;
}

bool TWaymark::Save() {
  if (UrlType == utModify && !FileExists(FPath)) {
    Error(ueFileMissing);
    return false;
  }
  EnsureLoaded();
  std::string title = GetTitle();
  if (text::Utf8Length(title) > kMaxShortcutTitle) SetTitle(text::CutToChars(title, kMaxShortcutTitle));
  title = GetTitle();
  std::string url = GetUrl();
  if (title.empty()) {
    SetTitle(UrlHostForTitle(url));
    Error(ueTitleFromHost);
  }
  if (url.empty()) {
    Error(ueNoUrl);
  } else if (CheckProtocol && url.find(':') == std::string::npos) {
    SetUrl("http://" + url);
    Error(ueSchemeAdded);
  }
  if (UrlType == utAdd && !MakePathUnique()) {
    Error(ueWriteFailed);
    return false;
  }
  return WriteSections(UrlType == utModify);
}

bool TWaymark::Rewrite() {
  EnsureLoaded();
  return WriteSections(false);
}

std::string ShortcutFileTitle(std::string_view title) {
  std::string clean;
  std::size_t at = 0;
  while (at < title.size()) {
    const text::Utf8Char c = text::DecodeUtf8(title, at);
    const std::string_view bytes = title.substr(at, c.length);
    at += c.length;
    if (c.code < 0x20 || c.code == 0x7F) continue;
    if (bytes.size() == 1 && kForbidden.find(bytes[0]) != std::string_view::npos) continue;
    if (clean.size() + bytes.size() > kMaxTitleBytes) break;
    clean += bytes;
  }
  return clean;
}

void ExportShortcuts(tResultsList& list, const std::string& folder, bool all) {
  ExportProgress progress(list);
  TWaymark waymark;
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  for (int i = 0; i < list.Count(); ++i) {
    progress.Before(i);
    const tUrlResult& r = *list.Items(i);
    if (!all && !r.Selected()) continue;
    try {
      waymark.Clear();
      waymark.SetFileName(base + ShortcutFileTitle(r.Title) + ".url");
      waymark.SetUrl(r.MainUrl());
      waymark.SetLastModified(r.Date);
      waymark.SetDescription(text::HtmlToText(r.Description));
      if (r.Code >= 200 && r.Code <= 399) waymark.SetLastSuccessfulCheck(list.SearchDate);
      if (r.Code >= 200) waymark.SetLastChecked(list.SearchDate);
      waymark.SetCheckResult(r.Reason);
      for (const std::string& url : r.OtherUrls())
        waymark.SetDescription(waymark.GetDescription() + "\r\n" + url);
      waymark.Save();
    } catch (const std::exception&) {
      // One result that cannot be written does not stop the others.
    }
  }
}

}  // namespace trawler::results
