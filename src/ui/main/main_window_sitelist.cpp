// Loading the site descriptions and the menus built from them: Related Links, the
// Categories submenu and the Regions drop-down.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

#include <algorithm>

#include "core/categories.h"
#include "core/engine_list.h"
#include "core/mainwin/categories_menu.h"
#include "core/mainwin/related_links.h"
#include "core/mainwin/version_number.h"
#include "core/mainwin/window_title.h"
#include "platform/paths.h"
#include "platform/program_info.h"
#include "support/lang/message_format.h"
#include "support/quickmenu/quick_menu.h"
#include "support/text/case_folding.h"
#include "ui/main/main_window.h"
#include "ui/pictures/pictures.h"
#include "ui_main_window.h"

namespace trawler::ui {

namespace {

QString Q(const std::string &text) { return QString::fromStdString(text); }

// The key and the value of a «key=value» line.
std::pair<std::string, std::string> SplitLine(const std::string &line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return {line, {}};
  return {line.substr(0, eq), line.substr(eq + 1)};
}

}  // namespace

void TfrmMain::UpdateSiteList() {
  // 1.
  Action("aSearch")->setEnabled(false);
  Action("aPackSearch")->setEnabled(false);
  mQuickTemplates->setEnabled(false);
  // The rows lose their engines as soon as the old engines go.
  FEngineRows.ForgetEngines();
  // 2. A missing folder gives an empty list without a message.
  std::string dir = FOptions.SitesDir;
  if (dir.empty()) dir = platform::FindProgramFile(platform::ProgramDirectory(), "sites").string();
  FEngines->LoadSites(dir);
  // 3. Compatibility with the program.
  bool newerNeeded = false;
  for (const auto &sdf : FEngines->SDFList.Items)
    newerNeeded = newerNeeded || mainwin::NeedsNewerProgram(sdf->RequiredVersion, FVersion);
  if (newerNeeded) {
    if (IsOnline()) {
      // The update check is a window of its own not offered yet: the question is asked and
      // a Yes leaves the check to the next start.
      if (Ask(Asker::Information, Msg(28) + QStringLiteral("\r\n") + Msg(29),
              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        FSettings.CheckForUpdate = true;
    } else {
      FSettings.CheckForUpdate = true;
    }
  }
  // 4. Regions, sorted, with the stored choice.
  std::sort(FEngines->Regions.begin(), FEngines->Regions.end(),
            [](const std::string &a, const std::string &b) {
              return text::CompareTextIgnoreCase(a, b) < 0;
            });
  FEngines->LoadRegions();
  // 5.
  FillRelatedLinks();
  // 6. A category the sites do not know becomes the root, or nothing.
  if (!FEngines->CategoryExists(FSettings.Category))
    FSettings.Category = FEngines->CategoryExists("0") ? "0" : "";
  FEngines->SelectionMode = 0;
  FEngines->SelectCategory(FSettings.Category);
  // 7-8.
  ui->cedtCategory->setText(CategoryDisplayName(FSettings.Category));
  ShowCategoryTitle();
  FillRegionsMenu();
  RefreshCategoryNames();
  FillCategoriesMenu();
  // 9.
  FSiteListLoaded = true;
  FSiteListPending = false;
  mQuickTemplates->setEnabled(true);
  UpdateSearchActions();
}

void TfrmMain::OnLoadFile() {
  FVersion = platform::ProgramVersion();
  setWindowTitle(QString::fromUtf8(mainwin::kProgramTitle.data(),
                                   static_cast<int>(mainwin::kProgramTitle.size())));
  std::string sdfVersion;
  for (const auto &sdf : FEngines->SDFList.Items)
    if (!sdf->Version.empty()) sdfVersion = sdf->Version;
  FEngines->AgentVersion =
      std::string(mainwin::kProgramTitle) + " " + FVersion + " (SDF " + sdfVersion + ")";
}

void TfrmMain::FillRelatedLinks() {
  const QList<QAction *> entries = mLinks->actions();
  for (int i = FFixedLinks; i < entries.size(); ++i) {
    mLinks->removeAction(entries[i]);
    if (entries[i]->parent() == mLinks) delete entries[i];
  }
  for (QMenu *old : mLinks->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly))
    old->deleteLater();
  mLinks->addSeparator();

  std::vector<mainwin::LinkSite> sites;
  for (const core::TEngine *engine : FEngines->Engines)
    sites.push_back({engine->Caption, engine->Region, engine->Description});
  const std::vector<mainwin::RegionLinks> menus =
      mainwin::BuildRelatedLinks(FEngines->Regions, sites);

  const QIcon linkPicture = pictures::ToolPicture(13);
  std::function<void(QMenu *, const mainwin::LinkSubmenu &)> fill =
      [&](QMenu *menu, const mainwin::LinkSubmenu &links) {
        if (links.Next) {
          QMenu *next = menu->addMenu(Msg(43));
          next->setObjectName("miNextLinks");
          menu->addSeparator();
          fill(next, *links.Next);
        }
        for (const mainwin::LinkEntry &entry : links.Entries) {
          QAction *item = menu->addAction(linkPicture, Q(entry.Caption));
          item->setToolTip(Q(entry.Hint));
          item->setStatusTip(Q(entry.Hint));
          connect(item, &QAction::triggered, this, [this, caption = entry.Caption] {
            if (const core::TEngine *engine = FEngines->FindEngineByCaption(caption))
              OpenUrl("", engine->HomeUrl);
          });
        }
      };
  for (const mainwin::RegionLinks &region : menus) {
    QMenu *submenu = mLinks->addMenu(Q(region.Region));
    fill(submenu, region.Menu);
  }
  menuBar()->update();
}

QString TfrmMain::CategoryDisplayName(const std::string &key) const {
  if (key.empty()) return {};
  return Q(FLang.CategoryCaption(key, FEngines->CategoryInfo(key).Name));
}

void TfrmMain::SetCategoryTitle(const QString &name) {
  setWindowTitle(Q(mainwin::WindowTitle(FLang.CaptionText(mainwin::kTitleCategoryLabel),
                                        name.toStdString())));
}

void TfrmMain::ShowCategoryTitle() { SetCategoryTitle(ui->cedtCategory->text()); }

void TfrmMain::RefreshCategoryNames() {
  std::vector<std::string> lines;
  for (const std::string &line : FEngines->Categories) {
    const auto [key, value] = SplitLine(line);
    const core::tCategoryInfo info = core::SplitCategoryValue(value, -1);
    lines.push_back(key + "=" + info.Name + ";" + info.Hint);
  }
  FLang.DefaultCategories.Assign(std::move(lines));
  ui->cedtCategory->setText(CategoryDisplayName(FSettings.Category));
  FillLanguageLists();
}

void TfrmMain::FillCategoriesMenu() {
  mCategories->clear();
  std::vector<mainwin::CategoryChoice> user, sites;
  for (const std::string &line : FEngines->UserCategories) {
    const auto [key, value] = SplitLine(line);
    const core::tCategoryInfo info = core::SplitCategoryValue(value, -1);
    user.push_back({key, info.Name, info.Hint});
  }
  for (const std::string &line : FEngines->Categories) {
    const std::string key = SplitLine(line).first;
    sites.push_back({key, FLang.CategoryCaption(key), FLang.CategoryDescription(key)});
  }
  const auto sort = FQuickMenu && FQuickMenu->SortType() == quickmenu::qmsCategory
                        ? mainwin::CategorySort::ByCategory
                        : mainwin::CategorySort::ByTitle;
  for (QAction *choice : FSortGroup->actions())
    choice->setChecked(choice->objectName() ==
                       (sort == mainwin::CategorySort::ByTitle ? "miSortTitle" : "miSortCategory"));
  const int perColumn = FQuickMenu ? FQuickMenu->ItemsInMenu : 25;
  for (const mainwin::CategoryMenuEntry &entry :
       mainwin::BuildCategoryMenu(std::move(user), std::move(sites), sort, perColumn)) {
    // Qt menus scroll instead of breaking into columns; a column break shows as a line.
    if (entry.Separator || entry.NewColumn) mCategories->addSeparator();
    if (entry.Separator) continue;
    QAction *item = mCategories->addAction(Q(entry.Caption));
    item->setToolTip(Q(entry.Hint));
    item->setStatusTip(Q(entry.Hint));
    item->setData(Q(entry.Key));
    connect(item, &QAction::triggered, this, [this, key = entry.Key] { ChooseCategory(key); });
  }
}

void TfrmMain::ChooseCategory(const std::string &key) {
  FEngines->SelectionMode = 0;
  FEngines->SelectCategory(key);
  FSettings.Category = key;
  ui->cedtCategory->setText(CategoryDisplayName(key));
  SetCategoryTitle(Q(FLang.CategoryCaption(key, FEngines->CategoryInfo(key).Name)));
  ui->pc->setCurrentWidget(ui->tbs1);
  FillLanguageLists();
}

void TfrmMain::FillRegionsMenu() {
  pmRegions->clear();
  for (const std::string &region : FEngines->Regions) {
    QAction *item = pmRegions->addAction(Q(region));
    item->setCheckable(true);
    const auto &on = FEngines->EnabledRegions;
    item->setChecked(std::any_of(on.begin(), on.end(), [&](const std::string &r) {
      return text::SameTextIgnoreCase(r, region);
    }));
    connect(item, &QAction::toggled, this, [this, region](bool checked) {
      auto &enabled = FEngines->EnabledRegions;
      std::erase_if(enabled, [&](const std::string &r) { return text::SameTextIgnoreCase(r, region); });
      if (checked) enabled.push_back(region);
      FEngines->SaveRegions();
      FEngines->SelectCategory(FSettings.Category);
      if (FState == mainwin::SearchState::Idle) FillLanguageLists();
    });
  }
}

void TfrmMain::FillLanguageLists() {
  // The translation languages the selected engines take; the lists show only when one does.
  auto collect = [this](core::tInputType type) {
    QStringList values;
    for (const core::TEngine *engine : FEngines->SelectedEngines())
      for (const auto &input : engine->Inputs)
        if (input->InputType == type)
          for (const std::string &value : input->Values) {
            const QString name = Q(SplitLine(value).first);
            if (!name.isEmpty() && !values.contains(name)) values << name;
          }
    return values;
  };
  const QStringList from = collect(core::tInputType::LangFrom);
  const QStringList to = collect(core::tInputType::LangTo);
  const auto fill = [](QComboBox *box, const QStringList &values, const std::string &current) {
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(values);
    box->setCurrentIndex(std::max(0, static_cast<int>(values.indexOf(Q(current)))));
  };
  fill(ui->cbxLangFrom, from, FSettings.LangFrom);
  fill(ui->cbxLangTo, to, FSettings.LangTo);
  const bool show = !from.isEmpty() || !to.isEmpty();
  for (QWidget *w : {static_cast<QWidget *>(ui->cbxLangFrom), static_cast<QWidget *>(ui->lblLangFrom),
                     static_cast<QWidget *>(ui->cbxLangTo), static_cast<QWidget *>(ui->lblLangTo)})
    w->setVisible(show);
  if (show && ui->pc->height() < 180) ui->pc->setMinimumHeight(180);
}

}  // namespace trawler::ui
