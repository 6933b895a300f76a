#pragma once

// Internet shortcut files (".url"): INI text whose section InternetShortcut
// names the target address. Besides it the program writes a section
// Description (one key per line, "0", "1", ...) and a section of its own,
// Waymark, with the dates and outcome of the last link check. TWaymark
// makes new shortcut files and can read and rewrite existing ones.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "results/ini_text.h"
#include "results/results_list.h"
#include "support/text/dates.h"

namespace trawler::results {

class TWaymark;

enum TUrlType { utAdd, utModify };

// Conditions reported through OnFileError (never thrown).
enum TUrlFileError : int {
  ueFileMissing = 0,   // modify mode and the file does not exist
  ueCannotOpen = 4,    // the file cannot be read as an INI file
  ueRenameFailed = 5,  // renaming the file failed
  ueWriteFailed = 7,   // writing the file failed
  ueNoUrl = 8,         // a shortcut without an address was saved
  ueSchemeAdded = 9,   // notice: "http://" was put before an address without a scheme
  ueTitleFromHost = 10 // notice: the empty title was taken from the address's host
};

// One section held in memory; created and owned by its TWaymark.
class TUrlSection {
 public:
  TWaymark* Owner() const { return FOwner; }
  std::string Name;
  std::vector<std::string> Lines;  // "key=value" in file order

  // The value of a key (ignoring case), empty when missing.
  std::string Value(std::string_view key) const;
  bool HasKey(std::string_view key) const;
  // Sets the key's value, adding the key when missing.
  void Set(std::string_view key, std::string_view value);
  void Delete(std::string_view key);

  bool IsClean() const;
  // Drops the keys that do not belong in this section.
  void Convert();

 private:
  friend class TWaymark;
  explicit TUrlSection(TWaymark& owner, std::string name) : Name(std::move(name)), FOwner(&owner) {}
  TWaymark* FOwner;
};

class TWaymark {
 public:
  TWaymark();
  ~TWaymark();
  TWaymark(const TWaymark&) = delete;
  TWaymark& operator=(const TWaymark&) = delete;

  // Published settings.
  bool UseIECache = false;              // kept for settings; not used here
  bool AutoConvert = false;             // tidy extended keys when a file is loaded
  std::string DefaultBrowser = "System";  // kept for settings; not used here
  bool WaymarkEnabled = true;           // write the date keys
  TUrlType UrlType = utAdd;
  bool CheckProtocol = false;           // put "http://" before an address without a scheme
  std::function<void(TWaymark&, int code)> OnFileError;
  std::function<void(TWaymark&)> OnModifyError;  // declared for owners; never raised

  const std::string& Folder() const { return FFolder; }      // with its final "/"
  const std::string& FileName() const { return FFileName; }  // name with extension
  const std::string& Path() const { return FPath; }
  bool Loaded() const { return FLoaded; }
  const std::vector<std::unique_ptr<TUrlSection>>& Sections() const { return FSections; }
  TUrlSection* FindSection(std::string_view name) const;
  TUrlSection& AddSection(std::string name);

  void Clear();
  // Reads the sections of Path (modify mode; in add mode it only clears).
  void Load();
  // In modify mode the file must exist (else error 0, false, nothing changes).
  bool SetFileName(const std::string& path);

  std::string GetUrl();
  void SetUrl(const std::string& url);
  std::string GetTitle();
  void SetTitle(const std::string& title);
  void SetLastModified(text::TDateTime date);
  void SetLastChecked(text::TDateTime date);
  void SetLastSuccessfulCheck(text::TDateTime date);
  void SetCheckResult(const std::string& text);
  std::string GetDescription();
  void SetDescription(const std::string& text);

  bool IsClean();
  // Writes the held sections into the file (other sections of an existing
  // file stay). In add mode a name that is taken gets a number, " (2)", so
  // an existing file is never overwritten; Path then names the file written.
  bool Save();
  // Writes exactly the held sections as the whole file.
  bool Rewrite();

  // Seconds since 1970 in UTC of a local date-time (daylight saving time
  // included); "0" for no date.
  static std::string DateSeconds(text::TDateTime date);

 private:
  void EnsureLoaded();
  void Error(int code);
  void SetPathParts(const std::string& path);
  void SetDateKey(const char* section, const char* key, text::TDateTime date);
  std::vector<IniSection> HeldSections() const;
  bool WriteSections(bool keepOthers);
  bool MakePathUnique();

  std::string FFolder;
  std::string FFileName;
  std::string FPath;
  bool FLoaded = false;
  std::vector<std::unique_ptr<TUrlSection>> FSections;
};

// Characters removed from titles to make file names, and the longest title kept.
inline constexpr std::size_t kMaxShortcutTitle = 95;

// The title as a file name: the characters \ / : * ? " < > | and control
// characters removed, cut to a length every file system takes.
std::string ShortcutFileTitle(std::string_view title);

// Writes one shortcut file per result (all, or the selected ones) into
// folder: the main address, the date as LastModified, the description as
// plain text followed by the further addresses, and - for checked results -
// the check dates (the search date) and reason. A result that cannot be
// written is passed over. OnSaveProgress as for every export.
void ExportShortcuts(tResultsList& list, const std::string& folder, bool all);

}  // namespace trawler::results
