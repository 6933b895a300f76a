// Result-set files in the main window: the Open command with its drop-down of recent files,
// loading a set in place of the current results, and saving the current set together with
// the search log and the Engines tab's rows.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

#include <filesystem>
#include <string>

#include "core/engine_list.h"
#include "core/mainwin/recent_entries.h"
#include "core/mainwin/result_set_fields.h"
#include "core/mainwin/window_title.h"
#include "results/old_format_loader.h"
#include "results/result_set_file.h"
#include "results/result_set_loader.h"
#include "results/result_set_text.h"
#include "results/results_list.h"
#include "results/saved_results.h"
#include "support/text/case_folding.h"
#include "ui/main/main_window.h"
#include "ui/pictures/pictures.h"
#include "ui/result_view/result_view.h"
#include "ui_main_window.h"

namespace trawler::ui {

namespace {

constexpr int kRecentFilePicture = 34;
constexpr const char *kMruKey = "\\software\\oxbow\\trawler\\mru";

QString Q(const std::string &text) { return QString::fromStdString(text); }

bool FileExists(const std::string &file) {
  std::error_code ec;
  return !file.empty() && std::filesystem::is_regular_file(file, ec);
}

bool IsOldFormat(const std::string &file) {
  return text::UpperText(std::filesystem::path(file).extension().string()) == ".TWR";
}

std::string JoinLines(const std::vector<std::string> &lines) {
  std::string text;
  for (const std::string &line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

}  // namespace

// Called from the constructor before the menus and toolbars place the commands.
void TfrmMain::CreateFileCommands() {
  uprl = std::make_unique<results::tUPResultsList>(*FStore);
  uprl->RootKey = results::uprkCurrentUser;
  uprl->Key = kMruKey;
  uprl->OnReloadMRU = [this](results::tUPResultsList &) { ReloadRecentEntries(); };

  QAction *open = AddAction("aLoadResult", 138, QKeySequence(Qt::CTRL | Qt::Key_O));
  open->setIcon(pictures::ToolPicture(kRecentFilePicture));
  connect(open, &QAction::triggered, this, [this] { OpenResultExecute(); });

  // The saved-results list is not offered, so Open is the drop-down's one fixed entry.
  pmMRU = new QMenu(this);
  pmMRU->setObjectName("pmMRU");
  pmMRU->addAction(open);
}

void TfrmMain::OpenResultExecute() {
  if (!Action("aLoadResult")->isEnabled()) return;
  const QString filter = Msg(6) + QStringLiteral(" (*.twf);;Old files (*.twr)");
  const QString file = FAsker->AskOpenFile(this, Msg(5), Q(FSettings.LastSaveDir), filter);
  if (!file.isEmpty()) LoadResultSet(file.toStdString());
}

void TfrmMain::AddRecentEntry(const std::string &file) {
  FRecentFiles = mainwin::AddRecentEntry(std::move(FRecentFiles), file, FSettings.MRUHitsCount);
  ShowRecentEntries();
}

void TfrmMain::ReloadRecentEntries() {
  FRecentFiles = mainwin::RecentEntriesFromCatalogue(uprl->Mru(), FSettings.MRUHitsCount);
  ShowRecentEntries();
}

// The drop-down mirrors FRecentFiles: the fixed entry, then a separator and the files while
// there are any.
void TfrmMain::ShowRecentEntries() {
  const QList<QAction *> entries = pmMRU->actions();
  for (int i = 1; i < entries.size(); ++i) {
    pmMRU->removeAction(entries[i]);
    // An entry may be removed from inside its own click.
    if (entries[i]->parent() == pmMRU) entries[i]->deleteLater();
  }
  if (FRecentFiles.empty()) return;
  pmMRU->addSeparator();
  const QIcon picture = pictures::ToolPicture(kRecentFilePicture);
  const bool enabled = Action("aLoadResult")->isEnabled();
  for (const std::string &file : FRecentFiles) {
    QAction *entry = pmMRU->addAction(picture, Q(file).replace('&', QStringLiteral("&&")));
    entry->setData(Q(file));
    entry->setEnabled(enabled);
    connect(entry, &QAction::triggered, this, [this, file] { LoadResultSet(file); });
  }
}

// Open and the recent files follow New Search: not while a search runs or a set loads.
void TfrmMain::UpdateFileActions(bool enabled) {
  if (!pmMRU) return;
  for (QAction *entry : pmMRU->actions())
    if (!entry->isSeparator()) entry->setEnabled(enabled);
}

void TfrmMain::LoadResultSet(const std::string &file) {
  // A set cannot replace the results while a search is adding to them.
  if (FLoading || FState != mainwin::SearchState::Idle || !FileExists(file)) return;
  if (!AskToSave() || !FileExists(file)) return;
  results::tResultsList &list = *FEngines->ResultList;
  FView->BeginUpdate();
  FLoading = true;
  UpdateSearchActions();
  ShowStatusText(QStringLiteral("Loading results..."));
  bool loaded = false;
  try {
    const std::string content = results::ReadFileForLoad(file, results::kMaxResultSetFileSize);
    std::string serversLog, log;
    if (IsOldFormat(file)) {
      if (FSettings.ClearListBeforeSearch) list.Clear();
      results::LoadOldText(list, content, file, false);
    } else {
      // Clearing first must not lose the current results to a file that is no result set.
      if (FSettings.ClearListBeforeSearch && list.Count() > 0) {
        results::tResultsList probe;
        std::string probeServers, probeLog;
        results::LoadFromText(probe, content, file, false, probeServers, probeLog);
        list.Clear();
      } else if (FSettings.ClearListBeforeSearch) {
        list.Clear();
      }
      results::LoadFromText(list, content, file, false, serversLog, log);
    }
    FLog.Clear();
    for (const std::string &line : results::SplitLines(log)) FLog.Append(line);
    FLog.SelectLast();
    ShowLog();
    if (!IsOldFormat(file)) FEngineRows.Assign(mainwin::RowsFromServerLog(serversLog));
    loaded = true;
  } catch (const std::exception &error) {
    ShowStatusText(QString());  // the message is the load's last word
    Ask(Asker::Error, Q(error.what()), QMessageBox::Ok);
  }
  ShowStatusText(QString());
  if (loaded) {
    FSettings.Match = list.MatchMode >= 0 && list.MatchMode <= 3 ? list.MatchMode : 0;
    FSettings.Category = mainwin::LoadedCategory(
        list.Category, [this](std::string_view key) { return FEngines->CategoryExists(key); });
    FSettings.query = list.Keywords;
    FEngines->SelectionMode = 2;
    FEngines->SelectFromResults(FSettings.Category, list.Servers);
    ui->edtQuery->setEditText(Q(FSettings.query));
    ui->cbxMatchMode->setCurrentIndex(FSettings.Match);
    ui->cedtCategory->setText(CategoryDisplayName(FSettings.Category));
    setWindowTitle(Q(mainwin::WindowTitle(FLang.CaptionText(mainwin::kTitleFileLabel), file)));
    FResultFile = file;
    AddRecentEntry(FResultFile);
  }
  // Closing steps, also after a failed load.
  ShowProgress(0, 1);
  FView->EndUpdate();
  FView->UpdateItemActions();
  // A file that could not be read is no saved result set: it is neither remembered among
  // the recent files nor described in the catalogue.
  if (loaded) {
    uprl->AddToMru(file);
    results::tUPResult &item = uprl->FindOrAddItem(file);
    item.Category = list.Category;
    item.Keywords = list.Keywords;
    item.Date = list.SearchDate;
    item.Count = list.Count();
    uprl->SaveItem(item);
  }
  FLoading = false;
  UpdateSearchActions();
}

bool TfrmMain::SaveResultSet(const std::string &file) {
  results::tResultsList &results = *FEngines->ResultList;
  try {
    results::SaveToFile(results, file, JoinLines(FLog.Lines()), true, results.Plain, false,
                        mainwin::ServerLogFromRows(FEngineRows.Rows()));
  } catch (const std::exception &error) {
    Ask(Asker::Error, Q(error.what()), QMessageBox::Ok);
    return false;
  }
  ResultSetSaved(file);
  return true;
}

void TfrmMain::ResultSetSaved(const std::string &file) {
  setWindowTitle(Q(mainwin::WindowTitle(FLang.CaptionText(mainwin::kTitleFileLabel), file)));
  AddRecentEntry(file);
  uprl->AddToMru(file);
  FSettings.LastSaveDir = std::filesystem::path(file).parent_path().string();
}

}  // namespace trawler::ui
