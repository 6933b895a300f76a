// The desktop program's entry: one running copy when the settings ask for it, the splash
// window, the main window, and the message loop until the main window closes.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/mainwin/program_options.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "sitesim/site_simulator.h"
#include "support/settings/defaults_list.h"
#include "ui/main/asker.h"
#include "ui/main/main_window.h"
#include "ui/main/screenshot_run.h"
#include "ui/main/instance_name.h"
#include "ui/main/splash_window.h"
#include "ui/platform/single_instance.h"

namespace {

using namespace trawler;

// The simulated sites of --demo, served from this process as trawler-cli --demo does.
std::unique_ptr<sitesim::SiteSimulator> StartDemoSites(std::string &sitesDir) {
  auto demo = std::make_unique<sitesim::SiteSimulator>(sitesim::DemoSites(20));
  if (!demo->start()) return nullptr;
  const std::filesystem::path dir = platform::TempDirectory() / "demo-sites";
  if (!demo->writeSiteFiles(dir.string())) return nullptr;
  sitesDir = dir.string();
  return demo;
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const char *envProfile = std::getenv("TRAWLER_PROFILE");
  mainwin::ProgramOptions options = mainwin::ParseProgramOptions(
      args, envProfile && *envProfile ? std::optional<std::string>(envProfile) : std::nullopt);
  if (!options.Error.empty()) {
    std::fprintf(stderr, "trawler: %s\n", options.Error.c_str());
    return 2;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("trawlr"));
  QApplication::setQuitOnLastWindowClosed(true);

  // One running copy when the settings say so (read straight from the store, and only when
  // stored as an integer): a later copy asks the first to come forward and ends.
  const QString profile = QString::fromStdString(options.ProfileDir);
  ui::SingleInstance instance(ui::InstanceName(profile));
  bool oneInstance = false;
  {
    const auto store = options.ProfileDir.empty()
                           ? std::make_unique<platform::RegistryStore>()
                           : std::make_unique<platform::RegistryStore>(options.ProfileDir);
    oneInstance = settings::ReadRegistryBool(*store, platform::Hive::CurrentUser,
                                             settings::kDefaultsKey, "OneInstance");
  }
  if (oneInstance && !instance.TryBecomePrimary()) {
    QStringList forwarded;
    for (const std::string &file : options.Files) forwarded << QString::fromStdString(file);
    if (instance.SendToPrimary(forwarded)) return 0;
    // The first copy does not answer: this one runs on its own.
  }

  std::unique_ptr<sitesim::SiteSimulator> demo;
  if (options.Demo) {
    demo = StartDemoSites(options.SitesDir);
    if (!demo) {
      std::fprintf(stderr, "trawler: cannot start the simulated sites on 127.0.0.1\n");
      return 1;
    }
  }

  ui::TfrmSplash splash;
  splash.show();
  splash.SetStatus(QStringLiteral("Initialition..."));

  ui::ScriptedAsker screenshotAnswers;
  screenshotAnswers.Default = QMessageBox::No;
  ui::MainWindowOptions windowOptions;
  windowOptions.ProfileDir = options.ProfileDir;
  windowOptions.SitesDir = options.SitesDir;
  windowOptions.Splash = &splash;
  windowOptions.LocalSites = options.Demo;
  if (!options.Files.empty()) windowOptions.OpenFile = options.Files.front();
  if (!options.Screenshot.empty()) windowOptions.Questions = &screenshotAnswers;

  int result = 0;
  {
    ui::TfrmMain window(windowOptions);
    QObject::connect(&instance, &ui::SingleInstance::activationRequested, &window,
                     [&window](const QStringList &files) {
                       window.BringForward();
                       if (!files.isEmpty()) window.LoadResultSet(files.front().toStdString());
                     });
    window.show();
    std::unique_ptr<ui::ScreenshotRun> shot;
    if (!options.Screenshot.empty()) {
      shot = std::make_unique<ui::ScreenshotRun>(window, QString::fromStdString(options.Screenshot),
                                                 QString::fromStdString(options.Query),
                                                 QString::fromStdString(options.ScreenshotTab));
      QObject::connect(shot.get(), &ui::ScreenshotRun::Finished, &window, [&](bool saved) {
        if (!saved) std::fprintf(stderr, "trawler: cannot save %s\n", options.Screenshot.c_str());
        result = saved ? 0 : 1;
        window.close();
      });
      shot->Start();
    }
    const int loop = app.exec();
    if (result == 0) result = loop;
  }
  if (demo) demo->stop();
  return result;
}
