#include "support/update/update_runner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "platform/shell.h"
#include "support/text/url.h"
#include "support/update/sha256.h"
#include "support/update/zip_unpack.h"

namespace trawler::update {

namespace fs = std::filesystem;

namespace {

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string Lower(std::string s) {
  for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Replaces every occurrence of `macro` (ignoring case) by `value`.
std::string ReplaceMacro(std::string text, const std::string &macro, const std::string &value) {
  size_t pos = 0;
  while ((pos = Lower(text).find(macro, pos)) != std::string::npos) {
    text.replace(pos, macro.size(), value);
    pos += value.size();
  }
  return text;
}

bool IsWithin(const fs::path &inner, const fs::path &outer) {
  if (outer.empty()) return false;
  const fs::path a = inner.lexically_normal(), b = outer.lexically_normal();
  auto ia = a.begin();
  for (auto ib = b.begin(); ib != b.end(); ++ib, ++ia) {
    if (ib->empty() && std::next(ib) == b.end()) break;  // trailing separator
    if (ia == a.end() || *ia != *ib) return false;
  }
  return true;
}

// A file name of our choosing for a download: the address's own name cut
// down to harmless characters, behind a number unique in this run.
std::string DownloadName(const std::string &url, int serial) {
  std::string name = url;
  name = name.substr(0, name.find_first_of("?#"));
  name = name.substr(name.find_last_of('/') + 1);
  std::string clean;
  for (char c : name)
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_') clean += c;
  while (!clean.empty() && clean.front() == '.') clean.erase(0, 1);
  if (clean.empty()) clean = "download";
  return "update-" + std::to_string(serial) + "-" + clean.substr(0, 100);
}

}  // namespace

fs::path UnpackDestination(const std::string &step, const fs::path &programDirectory, const fs::path &tempDirectory) {
  std::string dest = step.size() > 6 ? step.substr(6) : std::string();
  dest.erase(std::remove(dest.begin(), dest.end(), '('), dest.end());
  dest.erase(std::remove(dest.begin(), dest.end(), ')'), dest.end());
  dest = Trim(dest);
  const std::string lower = Lower(dest);
  // Updates never write into the system's folders.
  if (lower.find("%system%") != std::string::npos || lower.find("%windows%") != std::string::npos) return {};
  dest = ReplaceMacro(dest, "%program_directory%", programDirectory.string());
  dest = ReplaceMacro(dest, "%tmp%", tempDirectory.string() + "/");
  std::replace(dest.begin(), dest.end(), '\\', '/');
  if (dest.empty()) return tempDirectory;
  const fs::path p = fs::path(dest).lexically_normal();
  if (!p.is_absolute()) return {};
  if (IsWithin(p, programDirectory) || IsWithin(p, tempDirectory)) return p;
  return {};
}

UpdateRunner::UpdateRunner(platform::EventLoop &loop) : FHttp(loop) {
  FHttp.NoCache = true;
  FHttp.TimeoutSeconds = 60;
  FHttp.UserAgent = "Mozilla/3.0 (compatible)";
  FHttp.OnDocBegin = [this] {
    for (const auto &line : FHttp.HeaderLines) {
      if (Lower(line.substr(0, 15)) != "content-length:") continue;
      FLength = std::atoll(line.c_str() + 15);
      if (FLength <= 0) continue;
      const std::string size = FLength <= 1024 ? std::to_string(FLength) + " B" : std::to_string(FLength / 1024) + " Kb";
      if (OnStageText) OnStageText("Download " + Items[FCurrent].Caption + " (" + size + ")");
    }
  };
  FHttp.OnDocData = [this](const char *data, std::size_t len) {
    FOut.write(data, static_cast<std::streamsize>(len));
    FReceived += static_cast<long long>(len);
    if (OnProgress) OnProgress(FReceived, FLength);
  };
  FHttp.OnRequestDone = [this](int error) { DownloadDone(error); };
}

UpdateRunner::~UpdateRunner() { FHttp.Abort(); }

void UpdateRunner::Start() {
  if (FRunning) return;
  FRunning = true;
  FErrors.clear();
  FDone = 0;
  FTotal = static_cast<int>(std::count_if(Items.begin(), Items.end(), [](const UpdateItem &i) { return i.Ticked; }));
  if (OnOverallProgress) OnOverallProgress(0, FTotal);
  TakeNext();
}

void UpdateRunner::Abort() {
  FHttp.Abort();
  if (FOut.is_open()) FOut.close();
  FSteps.clear();
  FHasCurrent = false;
  if (!FRunning) return;
  FRunning = false;
  if (OnDone) OnDone();
}

void UpdateRunner::TakeNext() {
  if (!FRunning) return;
  auto it = std::find_if(Items.begin(), Items.end(), [](const UpdateItem &i) { return i.Ticked; });
  if (it == Items.end()) {
    Abort();
    return;
  }
  FCurrent = static_cast<size_t>(it - Items.begin());
  FHasCurrent = true;
  it->State = ItemState::Pending;
  if (OnItemState) OnItemState(FCurrent, ItemState::Pending);
  FSteps.clear();
  const std::string &action = it->Info.action;
  size_t start = 0;
  while (!action.empty() && start <= action.size()) {
    size_t end = action.find('#', start);
    if (end == std::string::npos) end = action.size();
    const std::string step = Trim(std::string_view(action).substr(start, end - start));
    if (!step.empty()) FSteps.push_back(step);
    start = end + 1;
  }
  FDownloaded = false;
  FPath.clear();
  if (FSteps.empty()) {
    Fail("");
    return;
  }
  NextStep();
}

void UpdateRunner::NextStep() {
  if (!FRunning || !FHasCurrent) return;
  if (FSteps.empty()) {
    ItemDone();
    return;
  }
  const std::string step = FSteps.front();
  FSteps.pop_front();
  if (step == "DOWNLOAD") {
    Download();
  } else if (step.rfind("UNPACK", 0) == 0) {
    Unpack(step);
  } else if (step == "RUN") {
    Run();
  } else if (step == "HALT") {
    if (OnHalt) OnHalt();
    NextStep();
  } else if (step == "RELOAD_SITES" || step == "RELOAD_LANGUAGES" || step == "RELOAD_ICONS") {
    (step == "RELOAD_SITES" ? ReloadSites : step == "RELOAD_LANGUAGES" ? ReloadLanguages : ReloadIcons) = true;
    NextStep();
  } else {
    // A step this program does not know cannot be skipped safely.
    Fail("(" + Items[FCurrent].Caption + "): Error: " + " Unknown step " + step);
  }
}

void UpdateRunner::Fail(const std::string &line) {
  if (!line.empty()) {
    FErrors.push_back(line);
    if (OnError) OnError(line);
  }
  FSteps.clear();
  if (FDownloaded) {
    std::error_code ec;
    fs::remove(FPath, ec);
  }
  FDownloaded = false;
  if (FHasCurrent) {
    UpdateItem &item = Items[FCurrent];
    item.Ticked = false;
    item.State = ItemState::Failed;
    FHasCurrent = false;
    if (OnItemState) OnItemState(FCurrent, ItemState::Failed);
    ++FDone;
    if (OnOverallProgress) OnOverallProgress(FDone, FTotal);
  }
  TakeNext();
}

void UpdateRunner::ItemDone() {
  UpdateItem &item = Items[FCurrent];
  item.Ticked = false;
  item.State = ItemState::Done;
  FHasCurrent = false;
  if (OnItemState) OnItemState(FCurrent, ItemState::Done);
  ++FDone;
  if (OnOverallProgress) OnOverallProgress(FDone, FTotal);
  TakeNext();
}

void UpdateRunner::Download() {
  UpdateItem &item = Items[FCurrent];
  const auto &urls = item.Info.urls;
  if (item.Info.selectedUrl < 0 || static_cast<size_t>(item.Info.selectedUrl) >= urls.size()) item.Info.selectedUrl = 0;
  if (urls.empty()) {
    Fail("(" + item.Caption + "): Error: " + " Can't download file : no address");
    return;
  }
  const std::string &url = urls[static_cast<size_t>(item.Info.selectedUrl)];
  if (OnStageText) OnStageText("Download " + item.Caption);
  FPath = TempDirectory / DownloadName(url, ++FDownloadSerial);
  FDownloaded = false;
  FOut = std::ofstream(FPath, std::ios::binary | std::ios::trunc);
  if (!FOut) {
    Fail("(" + item.Caption + "): Error: " + " Can't create file " + FPath.string());
    return;
  }
  ::chmod(FPath.c_str(), 0600);
  FReceived = 0;
  FLength = 0;
  if (OnProgress) OnProgress(0, 0);
  FHttp.Url = url;
  const bool proxied = !Proxy.empty() && !text::UrlMatchesMaskList(ProxyOverride, url);
  FHttp.ProxyHost = proxied ? Proxy : std::string();
  FHttp.ProxyPort = proxied ? ProxyPort : 0;
  FHttp.ProxyUser = proxied ? ProxyUser : std::string();
  FHttp.ProxyPassword = proxied ? ProxyPassword : std::string();
  if (proxied && !UserAgent.empty()) FHttp.UserAgent = UserAgent;
  FHttp.MaxBodyBytes = MaxDownloadBytes;
  if (!FHttp.Get()) DownloadDone(-1);
}

void UpdateRunner::DownloadDone(int error) {
  FOut.close();
  UpdateItem &item = Items[FCurrent];
  const size_t index = static_cast<size_t>(item.Info.selectedUrl);
  const std::string url = item.Info.urls[index];
  std::error_code ec;
  if (error != 0 || FHttp.StatusCode >= 400) {
    fs::remove(FPath, ec);
    if (index + 1 < item.Info.urls.size()) {
      item.Info.selectedUrl = static_cast<int>(index + 1);
      Download();
      return;
    }
    const std::string why = error != 0 ? FHttp.ErrorText : FHttp.ReasonPhrase;
    Fail("(" + item.Caption + "): Error: " + " Can't download file " + url + ": " + why);
    return;
  }
  FDownloaded = true;
  const std::string expected = index < item.Info.sha256.size() ? item.Info.sha256[index] : std::string();
  if (!expected.empty() && Sha256HexOfFile(FPath) != expected) {
    Fail("(" + item.Caption + "): Error: " + " Checksum mismatch for file " + url);
    return;
  }
  NextStep();
}

void UpdateRunner::Unpack(const std::string &step) {
  UpdateItem &item = Items[FCurrent];
  const std::string unzipError = "(" + item.Caption + "): Error: " + " Can't unzip file " + FPath.string();
  if (!FDownloaded) {
    Fail(unzipError);
    return;
  }
  const fs::path dest = UnpackDestination(step, ProgramDirectory, TempDirectory);
  if (dest.empty()) {
    Fail("(" + item.Caption + "): Error: " + " Can't unpack into " + Trim(step.substr(6)));
    return;
  }
  const std::vector<std::string> entries = ZipEntryNames(FPath);
  if (entries.empty()) {
    Fail(unzipError);
    return;
  }
  if (OnStageText) OnStageText("Unzipping " + item.Caption);
  const UnpackResult r = UnpackZip(FPath, dest, [this](int percent) {
    if (OnProgress) OnProgress(percent, 100);
  });
  std::error_code ec;
  fs::remove(FPath, ec);
  FDownloaded = false;
  if (!r.Ok) {
    // A half-written unpack must not go on to RUN anything.
    Fail(unzipError + ": " + r.Error);
    return;
  }
  if (entries.size() == 1) {
    std::string name = entries.front();
    std::replace(name.begin(), name.end(), '\\', '/');
    FPath = dest / fs::path(name).relative_path();
  }
  NextStep();
}

void UpdateRunner::Run() {
  UpdateItem &item = Items[FCurrent];
  std::error_code ec;
  const std::string cantRun = "(" + item.Caption + "): Error: " + " Can't execute file " + FPath.string();
  if (FPath.empty() || !fs::exists(FPath, ec)) {
    Fail(cantRun);
    return;
  }
  if (!OnAskToRun || !OnAskToRun(FPath)) {
    Fail("(" + item.Caption + "): Error: " + " Not allowed to run file " + FPath.string());
    return;
  }
  const bool executable = fs::is_regular_file(FPath, ec) && ::access(FPath.c_str(), X_OK) == 0;
  const bool started = executable ? platform::StartProgram(FPath.string(), {}, TempDirectory)
                                  : platform::ShellOpen(FPath.string());
  if (!started) {
    Fail(cantRun);
    return;
  }
  NextStep();
}

}  // namespace trawler::update
