#pragma once

// The update wizard's work without its window: takes the ticked updates one
// after another and runs each one's action steps (DOWNLOAD, UNPACK, RUN,
// HALT, RELOAD_SITES, RELOAD_LANGUAGES, RELOAD_ICONS), reporting through
// events that the window shows. Failures are recorded as error lines and
// the run goes on with the next update.

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/http_client.h"
#include "support/update/update_descriptor.h"

namespace trawler::update {

enum class ItemState { Pending = 0, Done = 1, Failed = 2 };

struct UpdateItem {
  tUpdateInfo Info;
  std::string Caption;
  bool Ticked = false;
  ItemState State = ItemState::Pending;
};

class UpdateRunner {
 public:
  explicit UpdateRunner(platform::EventLoop &loop);
  ~UpdateRunner();

  std::vector<UpdateItem> Items;
  // Where downloads go: a private folder of this process.
  std::filesystem::path TempDirectory;
  // The program's writable data folder ("%program_directory%").
  std::filesystem::path ProgramDirectory;
  std::string Proxy;
  int ProxyPort = 0;
  std::string ProxyUser, ProxyPassword, ProxyOverride, UserAgent;

  // Largest download accepted.
  std::size_t MaxDownloadBytes = std::size_t{512} << 20;

  std::function<void(const std::string &text)> OnStageText;
  std::function<void(long long position, long long maximum)> OnProgress;          // current operation
  std::function<void(int position, int maximum)> OnOverallProgress;             // ticked updates
  std::function<void(size_t item, ItemState state)> OnItemState;
  std::function<void(const std::string &line)> OnError;
  // Asked before anything is started; true lets it run. Unassigned = no.
  std::function<bool(const std::filesystem::path &path)> OnAskToRun;
  std::function<void()> OnHalt;
  std::function<void()> OnDone;

  void Start();
  void Abort();
  bool Running() const { return FRunning; }

  bool ReloadSites = false;
  bool ReloadLanguages = false;
  bool ReloadIcons = false;
  const std::vector<std::string> &Errors() const { return FErrors; }

 private:
  void TakeNext();
  void NextStep();
  void Fail(const std::string &line);
  void ItemDone();
  void Download();
  void DownloadDone(int error);
  void Unpack(const std::string &step);
  void Run();

  platform::HttpClient FHttp;
  std::vector<std::string> FErrors;
  std::deque<std::string> FSteps;
  size_t FCurrent = 0;
  bool FHasCurrent = false;
  bool FRunning = false;
  int FDone = 0;
  int FTotal = 0;
  bool FDownloaded = false;  // a checked download stands at FPath
  std::filesystem::path FPath;
  std::ofstream FOut;
  long long FReceived = 0;
  long long FLength = 0;
  int FDownloadSerial = 0;
};

// The destination of an UNPACK step ("UNPACK(dest)"): macros replaced,
// "\" read as "/". Empty when the destination is not allowed (a system
// folder, or anywhere outside the program's data folder and the download
// folder).
std::filesystem::path UnpackDestination(const std::string &step, const std::filesystem::path &programDirectory,
                                        const std::filesystem::path &tempDirectory);

}  // namespace trawler::update
