#include "ui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QSystemTrayIcon>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>

#include "core/engine_list.h"
#include "core/mainwin/search_rules.h"
#include "platform/paths.h"
#include "support/browsers/browsers.h"
#include "platform/program_info.h"
#include "platform/registry.h"
#include "results/list_search_bot.h"
#include "results/result_set_file.h"
#include "results/saved_results.h"
#include "results/results_list.h"
#include "support/lang/locale_ids.h"
#include "support/lang/message_format.h"
#include "support/quickmenu/quick_menu.h"
#include "support/text/case_folding.h"
#include "ui/main/engines_model.h"
#include "ui/main/hint_switch.h"
#include "ui/main/quick_menu_adapter.h"
#include "ui/main/splash_window.h"
#include "ui/platform/online_watcher.h"
#include "ui/platform/qt_event_loop.h"
#include "core/view/font_charsets.h"
#include "support/lang/language.h"
#include "ui/result_view/result_view.h"
#include "ui_main_window.h"

namespace trawler::ui {

namespace {

QString Q(const std::string &text) { return QString::fromStdString(text); }

// The letters whose case pairs ignore-case searches use beyond ASCII: Russian and
// Ukrainian Cyrillic, paired by position.
constexpr const char *kLowerLetters =
    "abcdefghijklmnopqrstuvwxyzабвгдежзийклмнопрстуфхцчшщъыьэюяёїєі";
constexpr const char *kUpperLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЁЇЄІ";

}  // namespace

TfrmMain::TfrmMain(MainWindowOptions options)
    : QMainWindow(nullptr), ui(std::make_unique<Ui::TfrmMain>()), FOptions(std::move(options)) {
  FAsker = FOptions.Questions ? FOptions.Questions : &FMessageBoxes;
  FHints = new HintSwitch(this);
  ui->setupUi(this);
  FLoop = std::make_unique<QtEventLoop>();
  FStore = FOptions.ProfileDir.empty()
               ? std::make_unique<platform::RegistryStore>()
               : std::make_unique<platform::RegistryStore>(FOptions.ProfileDir);

  // 1-2. The built-in texts are the language list's from its creation.
  SplashStatus(358);
  // 3-4.
  FVersion = platform::ProgramVersion();
  text::SetCasePairs(kLowerLetters, kUpperLetters);
  // 5. Language packs: the shipped ones and the user's own.
  const platform::ProgramDirectories dirs = platform::ProgramDirectory();
  FLang.StartDir = platform::FindProgramFile(dirs, "languages");
  FLang.UserDir = platform::DataDirectory() / "languages";
  FLang.FontName = font().family().toStdString();
  FLang.LoadPacks();
  // 6-8. (FLoading and the address opener start cleared.)
  // 9. Settings store.
  FSettings.FontName = font().family().toStdString();
  // 10. Link checker with one worker until a search says otherwise.
  FChecker = std::make_unique<results::tListSearchBot>(*FLoop);
  FChecker->MaxBots = 1;
  FChecker->OnResult = [this](const results::tBotResult &result) {
    FEngines->ResultList->ApplyCheckResult(result, FSettings.DeleteBadLinks);
    RepaintStatusBar();
  };
  // 11. Engine list.
  FEngines = std::make_unique<core::TEngineList>(*FLoop, *FStore);
  FEngines->RootKey = "\\software\\oxbow\\trawler";
  FEngines->PrgVersion = FVersion;
  FEngines->ResultList->LoadBlackList(*FStore);

  FEnginesModel = new EnginesModel(FEngineRows, this);
  ui->lvSearch->setModel(FEnginesModel);
  ui->lvSearch->verticalHeader()->hide();
  ui->lvSearch->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  ui->lvSearch->horizontalHeader()->setSectionsClickable(false);
  ui->lvSearch->setColumnWidth(EnginesModel::colCaption, 180);
  ui->lvSearch->horizontalHeader()->setSectionResizeMode(EnginesModel::colState, QHeaderView::Stretch);
  ui->lvSearch->setProperty("columnTags", QVariantList{131, 329, 330, 332, 331});

  FView = std::make_unique<ResultView>(*this, ui->lvExt, ui->hl, this);
  CreateActions();
  CreateFileCommands();
  CreateMenus();
  CreateToolbars();
  CreateStatusBar();
  CreateTray();
  CreateEnginesMenu();
  WireEngineList();
  connect(ui->pc, &QTabWidget::currentChanged, this,
          [this] { FView->PropertiesTabActivated(ui->pc->currentWidget() == ui->tbs4); });
  connect(ui->edtQuery, &QComboBox::currentTextChanged, this,
          [this](const QString &text) { FSettings.query = text.toStdString(); });
  connect(ui->cbxMatchMode, &QComboBox::currentIndexChanged, this,
          [this](int index) { FSettings.Match = index; });
  connect(ui->cbxLangFrom, &QComboBox::currentTextChanged, this,
          [this](const QString &text) { FSettings.LangFrom = text.toStdString(); });
  connect(ui->cbxLangTo, &QComboBox::currentTextChanged, this,
          [this](const QString &text) { FSettings.LangTo = text.toStdString(); });
  ui->edtQuery->lineEdit()->installEventFilter(this);
  ui->cedtCategory->installEventFilter(this);

  FQuickMenu = std::make_unique<quickmenu::tQMList>(*FStore);
  FQuickMenuAdapter = std::make_unique<QuickMenuAdapter>(*mQuickTemplates);
  FQuickMenu->RegRootPath = quickmenu::tQMList::kMainRegRootPath;
  FQuickMenu->ItemsInMenu = 25;
  FQuickMenu->ParentMenuItem = FQuickMenuAdapter.get();
  FQuickMenu->OnClickMenu = [this](quickmenu::tQMItem &item) { QuickTemplateClicked(item); };

  // The online watcher reads the machine's state at once and polls from then on.
  wip = new OnlineWatcher(this);
  wip->setObjectName("wip");
  FOnline = wip->Online();
  FAddress = wip->Address();
  connect(wip, &OnlineWatcher::OnStatusChanged, this, [this](bool online, const QString &address) {
    FOnline = online;
    FAddress = address;
    RepaintStatusBar();
  });
  RepaintStatusBar();
  // 12.
  ui->pc->setCurrentWidget(ui->tbs1);
  // 13. Settings from the registry.
  SplashStatus(359);
  FSettings.Load(*FStore);
  // 14. The language pack the settings name, else the one for the user's locale.
  const lang::LanguageChoice choice = lang::SelectFromSettings(
      FLang, FSettings.Language, FSettings.LanguageEncoding, lang::SystemLocaleId());
  FSettings.Language = choice.Language;
  FSettings.LanguageEncoding = choice.LanguageEncoding;
  // 15. History.
  SplashStatus(359);
  for (const std::string &query : FSettings.History) ui->edtQuery->addItem(Q(query));
  ui->edtQuery->setEditText(Q(FSettings.query));
  std::error_code ec;
  if (FSettings.LastSaveDir.empty() || !std::filesystem::is_directory(FSettings.LastSaveDir, ec))
    FSettings.LastSaveDir = QDir::homePath().toStdString();
  // 16.
  SplashStatus(360);
  ApplySettings();
  // 17. The saved-results catalogue (its recent files fill the Open drop-down).
  uprl->Load();
  FView->UpdateItemActions();
  // 18. Site descriptions.
  SplashStatus(361);
  if (Action("aUpdateSiteList")->isEnabled()) {
    UpdateSiteList();
  } else {
    Ask(Asker::Error, Q(lang::FormatMessage(FLang.MessageText(0), {"\rError loading site list\r"})),
        QMessageBox::Ok);
  }
  // 19.
  RestoreToolbarLayout();
  RestoreWindowState();
  // 21. The log fits the Engines tab by its layout.
}

TfrmMain::~TfrmMain() { Destroy(); }

void TfrmMain::SplashStatus(const QString &text) {
  if (FOptions.Splash) FOptions.Splash->SetStatus(text);
}

void TfrmMain::SplashStatus(int stringNumber) { SplashStatus(Caption(stringNumber)); }

QString TfrmMain::Msg(int n) const { return Q(FLang.MessageText(n)); }
QString TfrmMain::Caption(int n) const { return Q(FLang.CaptionText(n)); }

QMessageBox::StandardButton TfrmMain::Ask(Asker::Kind kind, const QString &text,
                                          QMessageBox::StandardButtons buttons) {
  return FAsker->Ask(this, kind, text, buttons);
}

QAction *TfrmMain::Action(const QString &name) const { return FActions.value(name, nullptr); }

void TfrmMain::WireEngineList() {
  core::TEngineList &list = *FEngines;
  list.OnUpdateList = [this](results::tResultsList &) { FView->Fill(); };
  list.OnLoadProgress = [](int) { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  list.OnLoadFile = [this](core::TEngineList &) { OnLoadFile(); };
  list.onSearchStart = [this](core::TEngine *e) { SearchStarted(e, false); };
  list.onSearchRepeat = [this](core::TEngine *e) { SearchStarted(e, true); };
  list.onSearchQueue = [this](core::TEngine *e) {
    if (e) ShowEngineState(e, FLang.MessageText(47), mainwin::epQueued);
  };
  list.OnGetSearch = [this](core::TEngine *e) {
    if (e && e->Active && !e->Suspended) ShowEngineState(e, FLang.MessageText(2), mainwin::epWorking);
  };
  list.onSearchProgress = [this](core::TEngine *e, results::tUrlResult *r) { NewResult(e, r); };
  list.onSearchEngineDone = [this](core::TEngine *e) {
    if (e) ShowEngineState(e, FLang.MessageText(15), mainwin::epDone);
  };
  list.onSearchEngineError = [this](core::TEngine *e, const std::string &text) {
    if (e) {
      ShowEngineState(e, text, mainwin::epError);
    } else {
      FLog.Append(text);
      ShowLog();
    }
  };
  list.onSearchError = [this](core::TEngine *e, int code, const std::string &text) {
    if (!e) return;
    const std::string known = FLang.MessageText(code, "\x01");
    ShowEngineState(e, known == "\x01" ? text : known, mainwin::epError);
  };
  list.onSearchSuspend = [this](core::TEngine *e) { SearchSuspended(e); };
  list.onSearchResume = [this](core::TEngine *e) { SearchResumed(e); };
  list.onSearchDone = [this](core::TEngine *) { SearchDone(); };

  results::tResultsList &results = *list.ResultList;
  results.OnBeginUpdate = [this](results::tResultsList &) { FView->BeginUpdate(); };
  results.OnEndUpdate = [this](results::tResultsList &) { FView->EndUpdate(); };
  results.OnLoadProgress = [this](results::tResultsList &, int position, int maximum) {
    ShowProgress(position, maximum);
  };
  results.OnSavedChange = [this](results::tResultsList &) { FView->UpdateItemActions(); };
}

void TfrmMain::UnwireEngineList() {
  core::TEngineList &list = *FEngines;
  list.OnUpdateList = nullptr;
  list.OnLoadProgress = nullptr;
  list.OnLoadFile = nullptr;
  list.onSearchStart = list.onSearchRepeat = list.onSearchQueue = list.OnGetSearch = nullptr;
  list.onSearchEngineDone = list.onSearchSuspend = list.onSearchResume = list.onSearchDone = nullptr;
  list.onSearchProgress = nullptr;
  list.onSearchEngineError = nullptr;
  list.onSearchError = nullptr;
  results::tResultsList &results = *list.ResultList;
  results.OnBeginUpdate = results.OnEndUpdate = results.OnSavedChange = nullptr;
  results.OnLoadProgress = nullptr;
}

void TfrmMain::ApplySettings() {
  // 1, 3. Browsers: "System" and every known browser found on this machine.
  FSettings.Browsers = browsers::InstalledBrowsers();
  if (std::find(FSettings.Browsers.begin(), FSettings.Browsers.end(), FSettings.DefaultBrowser) ==
      FSettings.Browsers.end())
    FSettings.DefaultBrowser = FSettings.Browsers.front();
  // 2. The preview's character set follows the language pack.
  FView->SetFontCharset(lang::IsCyrillicPack(FLang.CurrentPack()) ? core::view::kCyrillicCharsetTag
                                                                   : core::view::kAnsiCharsetTag);
  // 8. Engine list.
  core::TEngineList &list = *FEngines;
  list.MaxConnections = mainwin::SearchConnections(FSettings.ConnectionsLimit, FSettings.AutoCheckLinks);
  list.AcceptCookies = FSettings.AllowCookie;
  list.PauseMode = static_cast<core::tPauseMode>(
      FSettings.PauseMode >= 0 && FSettings.PauseMode <= 2 ? FSettings.PauseMode : 0);
  list.PostStats = FSettings.PostStats;
  list.ExactMode = FSettings.ExactMode;
  list.MaxCountPerEngine = FSettings.HitsPerEngine;
  list.MaxCountPerAll = FSettings.HitsPerAll;
  list.MaxKBytesPerEngine = FSettings.BytesPerEngine;
  list.MaxKBytesPerAll = FSettings.BytesPerAll;
  // 7. The catalogue of saved result sets.
  uprl->MaxMruCount = FSettings.MRUHitsCount;
  uprl->Exclusive = FSettings.OneInstance;
  // 9. Hints.
  FHints->SetShowHints(FSettings.ShowHints);
  // 10-11. Result view and result list.
  list.ResultList->SetMarkInterval(FSettings.MarkInterval);
  FView->ApplySettings();
  // 12.
  ChangeLanguage();
  // 13. Tray.
  if (!FSettings.MinimizeToSysTray) RestoreFromTray();
  else if (isMinimized()) HideToTray();
}

void TfrmMain::ChangeLanguage() {
  FLang.SelectPackByCaption(FSettings.Language);
  FLang.SelectFormat(FSettings.LanguageEncoding);
  FLang.FontName = FSettings.FontName;
  if (FLang.CharSet == 0) FLang.CharSet = FSettings.LanguageCharset;
  RefreshCategoryNames();
  const int match = ui->cbxMatchMode->currentIndex();
  ApplyTexts();
  if (match >= 0) ui->cbxMatchMode->setCurrentIndex(match);
  if (QAction *translit = FView->Action("miRL"))
    translit->setChecked(text::SameTextIgnoreCase(FSettings.LanguageEncoding, "TRANSLIT"));
  ui->mSimple->setText(Caption(231));
}

void TfrmMain::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  if (FShown) return;
  FShown = true;
  // Run once the window is on screen, as the stored placement has been applied.
  QTimer::singleShot(0, this, [this] { WindowShown(); });
}

void TfrmMain::WindowShown() {
  SplashStatus(356);
  // 3. A result-set file named on the command line (a double click on a ".twf" file).
  if (!FOptions.OpenFile.empty()) LoadResultSet(FOptions.OpenFile);
  // 4. The web-view menu always has a decoding chosen.
  UpdateSearchActions();
  if (!FView->Action("d1")->isChecked() && !FView->Action("d2")->isChecked() &&
      !FView->Action("d3")->isChecked())
    FView->Action("d1")->setChecked(true);
  // 6. Toolbars as the Panels entries say.
  tbMain->setVisible(Action("aPanelFile")->isChecked());
  tbSearch->setVisible(Action("aPanelSearch")->isChecked());
  tbHelp->setVisible(Action("aPanelHelp")->isChecked());
  tbFilter->setVisible(Action("aPanelFilters")->isChecked());
  // 8.
  LayoutSimplePanel();
  FView->PropertiesTabActivated(ui->pc->currentWidget() == ui->tbs4);
  // 9. Categories menu with the stored sort type.
  FEngines->ItemsInMenu = FQuickMenu->ItemsInMenu;
  FQuickMenu->Reload();
  FillCategoriesMenu();
  // 12-13. Also when a step above failed.
  ui->sbRegExp->setChecked(FSettings.UseRegExp == 0);
  SplashStatus(357);
  if (FOptions.Splash) FOptions.Splash->StartCloseTimer();
}

void TfrmMain::closeEvent(QCloseEvent *event) {
  if (!CloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
  if (ti) ti->hide();
}

bool TfrmMain::CloseQuery() {
  const results::tResultsList &results = *FEngines->ResultList;
  if (!mainwin::ShouldAskAtClose(results.Saved(), results.Count(), FSettings.SaveAtClose))
    return true;
  switch (Ask(Asker::Confirmation, Msg(54), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return SaveResultsThroughDialog();
    case QMessageBox::No: return true;
    default: return false;
  }
}

bool TfrmMain::SaveResultsThroughDialog() {
  results::tResultsList &results = *FEngines->ResultList;
  std::string file = results.FileName;
  std::error_code ec;
  if (file.empty() || !std::filesystem::exists(file, ec)) {
    // The export dialog is not part of this window yet: a plain save dialog writes the
    // program's own result-set format.
    const QString chosen = FAsker->AskSaveFile(this, Q(FSettings.LastSaveDir),
                                               Msg(6) + QStringLiteral(" (*.twf)"));
    if (chosen.isEmpty()) return false;
    file = chosen.toStdString();
    if (!chosen.endsWith(QStringLiteral(".twf"), Qt::CaseInsensitive)) file += ".twf";
  }
  return SaveResultSet(file);
}

void TfrmMain::Destroy() {
  if (FDestroyed) return;
  FDestroyed = true;
  SaveWindowState();
  // Stop the link checker first: its checks report into the result list.
  if (FChecker) {
    FChecker->Stop();
    FChecker.reset();
  }
  StoreHistory();
  FSettings.Save(*FStore);
  // A search may still run: the engine list and the result list must not report into a
  // window that is going away.
  UnwireEngineList();
  FEngines->StopSearch();
  FView.reset();
  FEngines.reset();  // the result list writes the permanent black list on its way
  SaveToolbarLayout();
}

void TfrmMain::StoreHistory() {
  FSettings.History.clear();
  for (int i = 0; i < ui->edtQuery->count(); ++i)
    FSettings.History.push_back(ui->edtQuery->itemText(i).toStdString());
}

void TfrmMain::BringForward() {
  if (ti && ti->isVisible()) RestoreFromTray();
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

// Enter in the query box searches; Enter or Ctrl+Enter in the category field, and Ctrl+Enter
// in the query box, open the category chooser.
bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::KeyPress) {
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    if (enter && (ctrl || (watched == ui->cedtCategory && FState == mainwin::SearchState::Idle))) {
      ui->btnCategory->click();
      return true;
    }
    if (enter && watched == ui->edtQuery->lineEdit()) {
      if (Action("aSearch")->isEnabled()) Action("aSearch")->trigger();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- ResultViewHost ---------------------------------------------------------------------

void TfrmMain::OpenUrl(const std::string &browser, const std::string &url) {
  FOpener.Open(browser, url, FSettings.DefaultBrowser, FSettings.NotUseDDE);
}

bool TfrmMain::AskYesNo(const QString &text, bool warning) {
  return Ask(warning ? Asker::Warning : Asker::Confirmation, text,
             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool TfrmMain::SearchInRetrievedOn() const { return Action("s1")->isChecked(); }

bool TfrmMain::IsOnline() const {
  return FOptions.LocalSites || (FOnline && FAddress != QStringLiteral("0.0.0.0"));
}

void TfrmMain::ItemActionsUpdated() { UpdateSearchActions(); }

}  // namespace trawler::ui
