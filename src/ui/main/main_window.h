#pragma once
// TfrmMain: the program's main window and the owner of the running program. It creates
// the settings, the language list, the link checker and the engine list (which owns the
// result list), wires their events to its handlers, and frees them again on close.
//
// The work is spread over several source files, one concern each:
//   main_window.cpp           creation, the window-shown steps, closing and destruction
//   main_window_frame.cpp     actions, menus, toolbars, texts, tray
//   main_window_status.cpp    the status bar panels
//   main_window_sitelist.cpp  site list reload, Related Links, Categories and Regions menus
//   main_window_search.cpp    the search commands and the engine list's events
//   main_window_engines.cpp   the Engines tab's context menu
//   main_window_state.cpp     stored window placement and toolbar layout
//   main_window_files.cpp     opening and saving result sets, the recent-files menu

#include <QMainWindow>
#include <QMap>
#include <QMessageBox>
#include <QPointer>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/mainwin/command_states.h"
#include "core/mainwin/engine_rows.h"
#include "core/mainwin/search_log.h"
#include "core/mainwin/url_opener.h"
#include "support/lang/lang_list.h"
#include "support/settings/defaults_list.h"
#include "ui/main/asker.h"
#include "ui/result_view/result_view_host.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QSystemTrayIcon;
class QToolBar;

namespace Ui {
class TfrmMain;
}

namespace trawler::core {
class TEngine;
}
namespace trawler::platform {
class RegistryStore;
}
namespace trawler::quickmenu {
class tQMList;
class tQMItem;
}  // namespace trawler::quickmenu
namespace trawler::results {
class tUrlResult;
class tUPResultsList;
}  // namespace trawler::results

namespace trawler::ui {

class EnginesModel;
class HintSwitch;
class QtEventLoop;
class QuickMenuAdapter;
class ResultView;
class TfrmSplash;
class OnlineWatcher;

struct MainWindowOptions {
  std::filesystem::path ProfileDir;  // the registry store's folder; empty: the user's
  std::string SitesDir;              // the site descriptions; empty: the program's "sites"
  Asker *Questions = nullptr;        // none: message boxes
  TfrmSplash *Splash = nullptr;      // written to while the window starts
  // The sites are on this machine (the demo): searching needs no Internet connection, so
  // the offline question is not asked.
  bool LocalSites = false;
  // A result-set file to open once the window is shown (the program's first argument).
  std::string OpenFile;
};

class TfrmMain : public QMainWindow, public ResultViewHost {
  Q_OBJECT
 public:
  explicit TfrmMain(MainWindowOptions options);
  ~TfrmMain() override;

  // --- ResultViewHost ---
  core::TEngineList &Engines() override { return *FEngines; }
  settings::tDefaultsList &Settings() override { return FSettings; }
  lang::tALanglist &Lang() override { return FLang; }
  void OpenUrl(const std::string &browser, const std::string &url) override;
  void ShowStatusText(const QString &text) override;
  void ShowRowCount(int rows) override;
  void ShowProgress(int position, int maximum) override;
  void RepaintStatusBar() override;
  bool SearchInRetrievedOn() const override;
  bool IsOnline() const override;
  results::tListSearchBot *LinkChecker() override { return FChecker.get(); }
  void ItemActionsUpdated() override;
  bool AskYesNo(const QString &text, bool warning) override;

  // --- what the program entry and the window tests use ---
  QAction *Action(const QString &name) const;
  mainwin::SearchState State() const { return FState; }
  const mainwin::EngineRows &EngineRowList() const { return FEngineRows; }
  const mainwin::SearchLog &Log() const { return FLog; }
  ResultView *View() const { return FView.get(); }
  // The category chosen from the Categories menu (as its click does).
  void ChooseCategory(const std::string &key);
  // A window message from a second copy of the program: come forward.
  void BringForward();
  // Opens a result-set file in place of the current results (the Open command, a recent
  // file, the command line, a file handed over by a second copy).
  void LoadResultSet(const std::string &file);
  // The recent files of the Open drop-down, newest first.
  const std::vector<std::string> &RecentFiles() const { return FRecentFiles; }

 protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void changeEvent(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  // Creation and closing (main_window.cpp).
  void SplashStatus(const QString &text);
  void SplashStatus(int stringNumber);
  void WindowShown();
  bool CloseQuery();
  void Destroy();
  QMessageBox::StandardButton Ask(Asker::Kind kind, const QString &text,
                                  QMessageBox::StandardButtons buttons);
  QString Msg(int n) const;
  QString Caption(int n) const;
  void ApplySettings();
  void ChangeLanguage();
  void WireEngineList();
  void UnwireEngineList();

  // Frame (main_window_frame.cpp).
  void CreateActions();
  void CreateMenus();
  void CreateToolbars();
  void CreateTray();
  void ApplyTexts();
  QAction *AddAction(const char *name, int tag, const QKeySequence &shortcut = {},
                     bool checkable = false);
  void HideToTray();
  void RestoreFromTray();
  void OpenServiceAddress(const settings::UrlList &list);
  void SendMail(bool proposeServer);
  void OpenDonation();

  // Status bar (main_window_status.cpp).
  void CreateStatusBar();

  // Site list, menus (main_window_sitelist.cpp).
  void UpdateSiteList();
  void OnLoadFile();
  void FillRelatedLinks();
  void FillCategoriesMenu();
  void FillRegionsMenu();
  void RefreshCategoryNames();
  QString CategoryDisplayName(const std::string &key) const;
  void ShowCategoryTitle();
  void SetCategoryTitle(const QString &name);

  // Search (main_window_search.cpp).
  void SearchExecute();
  void StartSearch();
  void RefreshExecute();
  void NewSearch();
  bool AskToSave();
  bool SaveResultsThroughDialog();
  void PauseExecute();
  void StopExecute();
  void SearchInRetrievedToggled();
  void RegExpToggled(bool down);
  void QuickTemplateClicked(quickmenu::tQMItem &item);
  void CopyPanelIntoEngineList();
  void ApplyConnectionSettings();
  void SearchStarted(core::TEngine *engine, bool repeat);
  void SearchSuspended(core::TEngine *engine);
  void SearchResumed(core::TEngine *engine);
  void SearchDone();
  void NewResult(core::TEngine *engine, results::tUrlResult *result);
  void ShowEngineState(core::TEngine *engine, const std::string &text, int picture);
  void ShowLog();
  void SetCheckerSlots(int workers);
  void UpdateSearchActions();
  void LayoutSimplePanel();
  void FillLanguageLists();
  void StoreHistory();

  // Result-set files and recent files (main_window_files.cpp).
  void CreateFileCommands();
  void OpenResultExecute();
  bool SaveResultSet(const std::string &file);
  void ResultSetSaved(const std::string &file);
  void AddRecentEntry(const std::string &file);
  void ReloadRecentEntries();
  void ShowRecentEntries();
  void UpdateFileActions(bool enabled);

  // Engines tab (main_window_engines.cpp).
  void CreateEnginesMenu();
  void ShowEnginesMenu(const QPoint &pos);
  void EngineCommand(const QString &command);

  // Stored state (main_window_state.cpp).
  void RestoreWindowState();
  void SaveWindowState();
  void RestoreToolbarLayout();
  void SaveToolbarLayout();

  std::unique_ptr<Ui::TfrmMain> ui;
  MainWindowOptions FOptions;
  MessageBoxAsker FMessageBoxes;
  Asker *FAsker;

  std::unique_ptr<QtEventLoop> FLoop;
  std::unique_ptr<platform::RegistryStore> FStore;
  lang::tALanglist FLang;
  settings::tDefaultsList FSettings;
  std::unique_ptr<results::tListSearchBot> FChecker;
  std::unique_ptr<core::TEngineList> FEngines;
  std::unique_ptr<quickmenu::tQMList> FQuickMenu;
  std::unique_ptr<QuickMenuAdapter> FQuickMenuAdapter;
  std::unique_ptr<ResultView> FView;
  std::unique_ptr<results::tUPResultsList> uprl;  // the saved-results catalogue
  std::vector<std::string> FRecentFiles;

  mainwin::EngineRows FEngineRows;
  EnginesModel *FEnginesModel = nullptr;
  mainwin::SearchLog FLog;
  mainwin::UrlOpener FOpener;
  mainwin::SearchState FState = mainwin::SearchState::Idle;

  bool FLoading = false;
  bool FSiteListPending = false;
  bool FSiteListLoaded = false;
  bool FShown = false;
  bool FDestroyed = false;
  std::string FVersion;
  std::string FResultFile;
  std::string FTemplateKey;

  QMap<QString, QAction *> FActions;
  QMenu *mFile = nullptr, *mSearch = nullptr, *mServices = nullptr, *mHelp = nullptr;
  QMenu *mPanels = nullptr, *mSupport = nullptr, *mLinks = nullptr;
  QMenu *pmNewSearch = nullptr, *mQuickTemplates = nullptr, *mCategories = nullptr;
  QMenu *pmRegions = nullptr, *pmEngines = nullptr, *pmTray = nullptr, *pmMRU = nullptr;
  QActionGroup *FSortGroup = nullptr;
  QActionGroup *FEngineGroup = nullptr;
  QToolBar *tbMain = nullptr, *tbSearch = nullptr, *tbHelp = nullptr, *tbFilter = nullptr;
  int FFixedLinks = 0;  // entries at the top of Related Links that a reload keeps

  QLabel *FPanelHint = nullptr;
  QLabel *FPanelOnline = nullptr;
  QLabel *FPanelSearch = nullptr;
  QLabel *FPanelChecker = nullptr;
  QLabel *FPanelRows = nullptr;
  QProgressBar *FPanelProgress = nullptr;

  HintSwitch *FHints = nullptr;
  QSystemTrayIcon *ti = nullptr;
  OnlineWatcher *wip = nullptr;
  bool FOnline = true;
  QString FAddress = QStringLiteral("127.0.0.1");
};

}  // namespace trawler::ui
