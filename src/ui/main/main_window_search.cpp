// The search commands (Search, Pause, Stop, Refresh, New Search, Search in retrieved,
// quick templates) and the window's reactions to the engine list's events.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

#include "core/engine_list.h"
#include "core/mainwin/query_history.h"
#include "core/mainwin/search_rules.h"
#include "core/mainwin/window_title.h"
#include "results/list_search_bot.h"
#include "results/results_list.h"
#include "support/lang/message_format.h"
#include "support/quickmenu/quick_menu.h"
#include "support/text/regex_match.h"
#include "ui/main/main_window.h"
#include <QTextBrowser>

#include "ui/result_view/result_view.h"
#include "ui_main_window.h"

namespace trawler::ui {

namespace {

QString Q(const std::string &text) { return QString::fromStdString(text); }

std::string Now() {
  return QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toStdString();
}

}  // namespace

// --- command states -----------------------------------------------------------------------

void TfrmMain::UpdateSearchActions() {
  // The result view reports from its creation on, before the commands exist.
  if (FDestroyed || !FView || FActions.isEmpty()) return;
  mainwin::CommandInputs in;
  in.State = FState;
  in.SiteListLoaded = FSiteListLoaded;
  in.SearchInRetrievedOn = Action("s1")->isChecked();
  in.ViewHasRows = FView && FView->RowCount() > 0;
  in.Loading = FLoading;
  const mainwin::CommandStates s = mainwin::StatesFor(in);
  Action("aSearch")->setEnabled(s.Search);
  Action("aPackSearch")->setEnabled(s.Search);
  mQuickTemplates->setEnabled(s.Search);
  Action("aStop")->setEnabled(s.Stop);
  Action("aPause")->setEnabled(s.Pause);
  // While engines are still finishing their pages after Pause, the button stays down.
  if (FState != mainwin::SearchState::Searching) Action("aPause")->setChecked(s.PauseChecked);
  Action("aRefresh")->setEnabled(s.Refresh);
  Action("aReset")->setEnabled(s.Reset);
  UpdateFileActions(s.Reset);
  // Search in retrieved switches itself off when it becomes unavailable while on.
  if (!s.SearchInRetrieved && Action("s1")->isChecked()) {
    Action("s1")->setChecked(false);
    SearchInRetrievedToggled();
  }
  Action("s1")->setEnabled(s.SearchInRetrieved);
  ui->pnlSimpleSearch->setEnabled(s.Panel);
  Action("aUpdateSiteList")->setEnabled(s.Panel);
}

void TfrmMain::LayoutSimplePanel() {
  ui->sbRegExp->setVisible(Action("s1")->isChecked());
  ui->cbxMatchMode->setEnabled(!(!ui->sbRegExp->isHidden() && ui->sbRegExp->isChecked()));
}

// --- Search ---------------------------------------------------------------------------

void TfrmMain::SearchExecute() {
  if (FLoading || !Action("aSearch")->isEnabled()) return;
  FSettings.query = ui->edtQuery->currentText().toStdString();
  FSettings.Match = ui->cbxMatchMode->currentIndex();
  if (Action("s1")->isChecked()) {
    // Search in the retrieved results: the simple panel always looks at every field.
    const std::vector<int> errors =
        mainwin::RetrievedSearchErrors(FSettings.Match, false, FSettings.Match1,
                                       FSettings.Match2, FSettings.Match3);
    if (!errors.empty()) {
      QString text = Msg(18);
      for (int n : errors) text += QStringLiteral("\r\n") + Msg(n);
      Ask(Asker::Error, text, QMessageBox::Ok);
      return;
    }
    const bool regExpr = FSettings.UseRegExp == 0;
    if (regExpr) {
      // Compiled once on a test text: a malformed expression is reported and the filter
      // stays as it was.
      text::RegexError error;
      text::TextMatchesRegex("test string", FSettings.query, &error);
      if (!error.message.empty()) {
        Ask(Asker::Error, Q(error.message), QMessageBox::Ok);
        return;
      }
    }
    FEngines->ResultList->SetFilter(FSettings.Match, true, true, true, FSettings.query, regExpr);
    FView->UpdateItemActions();
    return;
  }
  // A web search.
  if (FSettings.Category.empty()) {
    Ask(Asker::Error, Msg(18) + QStringLiteral("\r\n") + Msg(17), QMessageBox::Ok);
    ui->pc->setCurrentWidget(ui->tbs1);
    ui->cedtCategory->setFocus();
    return;
  }
  if (!AskToSave()) return;
  core::TEngineList &list = *FEngines;
  list.Category = FSettings.Category;
  list.SearchWord = FSettings.query;
  CopyPanelIntoEngineList();
  list.Matchmode = static_cast<core::tMatchMode>(
      FSettings.Match >= 0 && FSettings.Match <= 3 ? FSettings.Match : 0);
  StartSearch();
}

void TfrmMain::CopyPanelIntoEngineList() {
  core::TEngineList &list = *FEngines;
  list.LangFrom = FSettings.LangFrom;
  list.LangTo = FSettings.LangTo;
  list.NewsSubject = FSettings.NewsSubject;
  list.NewsAuthor = FSettings.NewsAuthor;
  list.NewsGroup = FSettings.NewsGroup;
  // The simple panel searches without the parameters only the grid offers.
  for (std::string *field : {&list.Language, &list.Charset, &list.Sort, &list.SoftType,
                             &list.SubWhere, &list.SubRegion, &list.LastName, &list.Phone,
                             &list.Street, &list.Country, &list.City, &list.House, &list.Room})
    field->clear();
  list.Dateb = 0;
  list.Datee = 0;
}

void TfrmMain::ApplyConnectionSettings() {
  core::TEngineList &list = *FEngines;
  list.AddQuery = FSettings.UrlStatScript;
  list.MaxConnections = mainwin::SearchConnections(FSettings.ConnectionsLimit, FSettings.AutoCheckLinks);
  list.Timeout = FSettings.Timeout;
  list.Proxy = FSettings.ProxyHost;
  list.ProxyPort = FSettings.ProxyPort;
  list.ProxyUser = FSettings.ProxyUser;
  list.ProxyPassword = FSettings.ProxyPassword;
  list.ProxyOverride = FSettings.OverrideProxy;
  list.IdentifyAs = FSettings.IdentifyAs;
}

void TfrmMain::SetCheckerSlots(int workers) {
  FChecker->MaxBots = workers;
  FChecker->Rebalance();
  RepaintStatusBar();
}

void TfrmMain::StartSearch() {
  if (!IsOnline() && Ask(Asker::Warning, Msg(23), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  core::TEngineList &list = *FEngines;
  list.RefreshMode = false;
  FChecker->MaxBots = mainwin::CheckerSlotsWhileSearching(FSettings.AutoCheckLinks);
  if (FSettings.ClearListBeforeSearch) FChecker->ClearQueue();
  FChecker->Rebalance();
  RepaintStatusBar();
  ApplyConnectionSettings();
  ui->pc->setCurrentWidget(ui->tbs2);
  ui->cbxLog->setFocus();
  FLog.Clear();
  ShowLog();
  FEngineRows.Clear();
  list.ResetEngines();
  if (FSettings.ClearListBeforeSearch) {
    FView->BeginUpdate();
    list.ResultList->Clear();
    FView->EndUpdate();
  }
  FView->UpdateItemActions();
  list.StartSearch();
}

void TfrmMain::RefreshExecute() {
  if (!Action("aRefresh")->isEnabled()) return;
  core::TEngineList &list = *FEngines;
  list.RefreshMode = true;
  if (!IsOnline() && Ask(Asker::Warning, Msg(23), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  SetCheckerSlots(mainwin::CheckerSlotsWhileSearching(FSettings.AutoCheckLinks));
  ApplyConnectionSettings();
  ui->pc->setCurrentWidget(ui->tbs2);
  ui->cbxLog->setFocus();
  CopyPanelIntoEngineList();
  list.ResetEngines();
  FLog.Clear();
  ShowLog();
  FEngineRows.Clear();
  FView->UpdateItemActions();
  list.StartSearch();
}

bool TfrmMain::AskToSave() {
  const results::tResultsList &results = *FEngines->ResultList;
  if (!mainwin::ShouldAskToSave(FSettings.ClearListBeforeSearch, results.Saved(), results.Count(),
                                FSettings.SaveAtClose))
    return true;
  switch (Ask(Asker::Confirmation, Msg(54), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return SaveResultsThroughDialog();
    case QMessageBox::No: return true;
    default: return false;
  }
}

void TfrmMain::NewSearch() {
  if (!Action("aReset")->isEnabled()) return;
  if (!AskToSave()) return;
  FSettings.Dateb = FSettings.Datee = 0;
  FSettings.Match = FSettings.Match1 = FSettings.Match2 = FSettings.Match3 = 0;
  for (std::string *field : {&FSettings.Sort, &FSettings.Charset, &FSettings.LangTo,
                             &FSettings.NewsGroup, &FSettings.NewsSubject, &FSettings.NewsAuthor,
                             &FSettings.SoftType, &FSettings.SubWhere, &FSettings.SubRegion})
    field->clear();
  FSettings.CurrentLanguage = FSettings.Language;
  FSettings.LangFrom = FSettings.Language;
  ui->cbxMatchMode->setCurrentIndex(0);
  FEngines->ResultList->FileName.clear();
  FEngines->SelectionMode = 0;
  FEngines->SelectCategory(FSettings.Category);
  ShowCategoryTitle();
  FEngineRows.Clear();
  ui->pc->setCurrentWidget(ui->tbs1);
  if (FSettings.ClearListBeforeSearch) FEngines->ResultList->Clear();
  FillLanguageLists();
  FView->UpdateItemActions();
}

void TfrmMain::QuickTemplateClicked(quickmenu::tQMItem &item) {
  const std::string key = item.KeyPath(), caption = item.Title(), category = item.Category();
  NewSearch();
  if (!FEngines->UseSelection(key)) return;
  FTemplateKey = key;
  setWindowTitle(Q(mainwin::WindowTitle(FLang.CaptionText(mainwin::kTitleTemplateLabel), caption)));
  FSettings.Category = category;
  ui->cedtCategory->setText(CategoryDisplayName(category));
  FEngines->SelectionMode = 1;
  ui->pc->setCurrentWidget(ui->tbs1);
  FillLanguageLists();
}

void TfrmMain::PauseExecute() {
  // The action has toggled itself already.
  FEngines->PauseAll(Action("aPause")->isChecked());
}

void TfrmMain::StopExecute() { FEngines->StopSearch(); }

void TfrmMain::SearchInRetrievedToggled() {
  FEngines->ResultList->ClearFilter();
  LayoutSimplePanel();
  UpdateSearchActions();
}

void TfrmMain::RegExpToggled(bool down) {
  FSettings.UseRegExp = down ? 0 : 1;
  LayoutSimplePanel();
}

// --- engine list events ---------------------------------------------------------------

void TfrmMain::ShowLog() {
  const QSignalBlocker block(ui->cbxLog);
  ui->cbxLog->clear();
  for (const std::string &line : FLog.Lines()) ui->cbxLog->addItem(Q(line));
  ui->cbxLog->setCurrentIndex(FLog.Selected());
}

void TfrmMain::ShowEngineState(core::TEngine *engine, const std::string &text, int picture) {
  if (engine) FEngineRows.ShowEngineState(*engine, text, picture);
}

void TfrmMain::SearchStarted(core::TEngine *engine, bool repeat) {
  if (FState == mainwin::SearchState::Idle && Action("aSearch")->isEnabled()) {
    FState = mainwin::SearchState::Searching;
    if (!repeat) {
      std::vector<std::string> history;
      for (int i = 0; i < ui->edtQuery->count(); ++i)
        history.push_back(ui->edtQuery->itemText(i).toStdString());
      mainwin::PushHistory(history, FSettings.query);
      const QSignalBlocker block(ui->edtQuery);
      const QString current = ui->edtQuery->currentText();
      ui->edtQuery->clear();
      for (const std::string &query : history) ui->edtQuery->addItem(Q(query));
      ui->edtQuery->setEditText(current);
    }
    UpdateSearchActions();
    RepaintStatusBar();
    FView->UpdateItemActions();
    if (repeat) {
      FLog.Append(lang::FormatMessage(FLang.MessageText(58), {Now()}));
      ShowLog();
    }
  }
  if (!engine) {
    if (!repeat) {
      FLog.SetStatusLine(lang::FormatMessage(FLang.MessageText(3), {Now()}), false);
      ShowLog();
    }
    return;
  }
  ShowEngineState(engine, FLang.MessageText(engine->StatsPosted ? 9 : 4), mainwin::epWorking);
}

void TfrmMain::NewResult(core::TEngine *engine, results::tUrlResult *result) {
  if (result && result->Visible()) FView->AddResult(*result);
  if (result && FSettings.AutoCheckLinks && result->CheckState == 1 &&
      FChecker->Enqueue(result->MainUrl())) {
    FChecker->Proxy = FSettings.ProxyHost;
    FChecker->ProxyPort = std::to_string(FSettings.ProxyPort);
    FChecker->ProxyUser = FSettings.ProxyUser;
    FChecker->ProxyPassword = FSettings.ProxyPassword;
    FChecker->ProxyBypass = FSettings.OverrideProxy;
    FChecker->Timeout = FSettings.Timeout;
    if (!FChecker->Dispatching()) FChecker->Dispatch();
    RepaintStatusBar();
  }
  if (engine && engine->Active) {
    ShowEngineState(engine, FLang.MessageText(39), mainwin::epWorking);
    FView->UpdateItemActions();
  }
}

void TfrmMain::SearchSuspended(core::TEngine *engine) {
  if (engine) {
    ShowEngineState(engine, FLang.MessageText(31), mainwin::epSuspended);
    return;
  }
  FState = mainwin::SearchState::Paused;
  const std::string line =
      lang::FormatMessage(FLang.MessageText(30), {Now(), FEngines->OverallResults});
  FLog.SetStatusLine(line, true);
  ShowLog();
  UpdateSearchActions();
  FView->UpdateItemActions();
  SetCheckerSlots(mainwin::CheckerSlotsAfterSearch(FSettings.ConnectionsLimit, FSettings.AutoCheckLinks));
  BringForward();
  if (FSettings.PauseSearchNotify) Ask(Asker::Information, Q(line), QMessageBox::Ok);
}

void TfrmMain::SearchResumed(core::TEngine *engine) {
  if (engine) return;
  if (FState == mainwin::SearchState::Paused) FState = mainwin::SearchState::Searching;
  Action("aPause")->setChecked(false);
  FLog.SetStatusLine(lang::FormatMessage(FLang.MessageText(33), {Now()}), true);
  ShowLog();
  UpdateSearchActions();
}

void TfrmMain::SearchDone() {
  if (FState == mainwin::SearchState::Idle) {
    FLog.SelectLast();
    ShowLog();
    return;
  }
  FState = mainwin::SearchState::Idle;
  UpdateSearchActions();
  RepaintStatusBar();
  const std::string line =
      FEngineRows.Count() == 0
          ? FLang.MessageText(51)
          : lang::FormatMessage(FLang.MessageText(1), {Now(), FEngines->OverallResults});
  FLog.Append(line);
  ShowLog();
  FView->UpdateItemActions();
  SetCheckerSlots(mainwin::CheckerSlotsAfterSearch(FSettings.ConnectionsLimit, FSettings.AutoCheckLinks));
  BringForward();
  if (FSettings.EndSearchNotify) Ask(Asker::Information, Q(line), QMessageBox::Ok);
  if (FSiteListPending) UpdateSiteList();
}

}  // namespace trawler::ui
