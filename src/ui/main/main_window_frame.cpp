// The frame of the main window: its commands, menus, toolbars, texts and the tray.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "core/engine_list.h"
#include "results/results_list.h"
#include "core/mainwin/search_rules.h"
#include "platform/shell.h"
#include "support/settings/url_list.h"
#include "ui/main/main_window.h"
#include "ui/main/quick_menu_adapter.h"
#include "ui/pictures/pictures.h"
#include "ui/translate/translate.h"
#include <QTextBrowser>

#include "ui/result_view/result_view.h"
#include "ui_main_window.h"

namespace trawler::ui {

namespace {

constexpr const char *kTag = "tag";

// A menu that carries its text number like every other translated object.
QMenu *TaggedMenu(QWidget *parent, const char *name, int tag) {
  auto *menu = new QMenu(parent);
  menu->setObjectName(name);
  if (tag > 0) menu->setProperty(kTag, tag);
  return menu;
}

}  // namespace

QAction *TfrmMain::AddAction(const char *name, int tag, const QKeySequence &shortcut,
                             bool checkable) {
  auto *action = new QAction(this);
  action->setObjectName(name);
  if (tag > 0) action->setProperty(kTag, tag);
  action->setShortcut(shortcut);
  action->setCheckable(checkable);
  addAction(action);  // shortcuts work whatever toolbars are shown
  FActions.insert(name, action);
  return action;
}

void TfrmMain::CreateActions() {
  AddAction("aSearch", 142, Qt::Key_F9)->setEnabled(false);
  AddAction("aPause", 235, {}, true)->setEnabled(false);
  AddAction("aStop", 143)->setEnabled(false);
  AddAction("aRefresh", 144)->setEnabled(false);
  AddAction("aReset", 192, QKeySequence(Qt::CTRL | Qt::Key_N));
  AddAction("aPackSearch", 315)->setEnabled(false);
  AddAction("aExit", 139, QKeySequence(Qt::ALT | Qt::Key_F4));
  AddAction("aMenu", 0, Qt::Key_F10)->setText(QStringLiteral("Menu"));
  AddAction("aUpdateSiteList", 145);
  for (const char *name : {"aPanelFile", "aPanelSearch", "aPanelHelp", "aPanelFilters"}) {
    static const QMap<QString, int> tags{
        {"aPanelFile", 219}, {"aPanelSearch", 220}, {"aPanelHelp", 221}, {"aPanelFilters", 269}};
    AddAction(name, tags.value(name), {}, true)->setChecked(true);
  }
  AddAction("aHelp", 215);
  AddAction("aHome", 141);
  AddAction("aSendMail", 272);
  AddAction("aStats", 208)->setVisible(false);
  AddAction("aLinks", 183);
  AddAction("aRestore", 292);
  AddAction("s1", 166, {}, true)->setEnabled(false);
  AddAction("miDonation", 0)->setText(QStringLiteral("DonationWare..."));
  AddAction("miProposeServer", 355);

  connect(Action("aSearch"), &QAction::triggered, this, [this] { SearchExecute(); });
  connect(Action("aPause"), &QAction::triggered, this, [this] { PauseExecute(); });
  connect(Action("aStop"), &QAction::triggered, this, [this] { StopExecute(); });
  connect(Action("aRefresh"), &QAction::triggered, this, [this] { RefreshExecute(); });
  connect(Action("aReset"), &QAction::triggered, this, [this] { NewSearch(); });
  connect(Action("aPackSearch"), &QAction::triggered, this, [this] {
    FEngines->ResultList->PurgeDeleted();
    FView->UpdateItemActions();
  });
  connect(Action("aExit"), &QAction::triggered, this, &QWidget::close);
  connect(Action("aMenu"), &QAction::triggered, this, [this] {
    ui->cbMain->setFocus();
    ui->cbMain->setActiveAction(mFile->menuAction());
  });
  connect(Action("aUpdateSiteList"), &QAction::triggered, this, [this] { UpdateSiteList(); });
  connect(Action("aHelp"), &QAction::triggered, this, [this] { OpenServiceAddress(FSettings.HelpUrls); });
  connect(Action("aHome"), &QAction::triggered, this, [this] { OpenServiceAddress(FSettings.HomeUrls); });
  connect(Action("aStats"), &QAction::triggered, this, [this] { OpenServiceAddress(FSettings.StatUrls); });
  connect(Action("aSendMail"), &QAction::triggered, this, [this] { SendMail(false); });
  connect(Action("miProposeServer"), &QAction::triggered, this, [this] { SendMail(true); });
  connect(Action("miDonation"), &QAction::triggered, this, [this] { OpenDonation(); });
  connect(Action("aRestore"), &QAction::triggered, this, [this] { BringForward(); });
  connect(Action("s1"), &QAction::triggered, this, [this] { SearchInRetrievedToggled(); });
  connect(ui->sbRegExp, &QToolButton::toggled, this, [this](bool down) { RegExpToggled(down); });
  const auto toolbarToggle = [this](const char *action, QToolBar *const *bar) {
    connect(Action(action), &QAction::toggled, this, [bar](bool on) {
      if (*bar) (*bar)->setVisible(on);
    });
  };
  toolbarToggle("aPanelFile", &tbMain);
  toolbarToggle("aPanelSearch", &tbSearch);
  toolbarToggle("aPanelHelp", &tbHelp);
  toolbarToggle("aPanelFilters", &tbFilter);
}

void TfrmMain::CreateMenus() {
  QMenuBar *bar = ui->cbMain;
  mFile = TaggedMenu(this, "mFile", 132);
  mSearch = TaggedMenu(this, "mSearch", 133);
  mServices = TaggedMenu(this, "mServices", 135);
  mHelp = TaggedMenu(this, "mHelp", 136);
  for (QMenu *menu : {mFile, mSearch, mServices, mHelp}) bar->addMenu(menu);

  // Of the result-set commands only Open is offered yet.
  mFile->addAction(Action("aReset"));
  mFile->addSeparator();
  mFile->addAction(Action("aLoadResult"));
  mFile->addSeparator();
  mFile->addAction(Action("aExit"));

  mSearch->addAction(Action("aSearch"));
  mSearch->addAction(Action("aPause"));
  mSearch->addAction(Action("aStop"));
  mSearch->addSeparator();
  mSearch->addAction(Action("aPackSearch"));
  mSearch->addSeparator();
  mSearch->addAction(Action("aRefresh"));
  mSearch->addSeparator();
  mSearch->addAction(Action("s1"));

  mServices->addAction(Action("aUpdateSiteList"));
  mServices->addSeparator();
  mPanels = TaggedMenu(this, "mPanels", 218);
  for (const char *name : {"aPanelFile", "aPanelSearch", "aPanelFilters", "aPanelHelp"})
    mPanels->addAction(Action(name));
  mServices->addMenu(mPanels);

  mHelp->addAction(Action("aHelp"));
  mHelp->addAction(Action("aHome"));
  mHelp->addSeparator();
  mHelp->addAction(Action("miDonation"));
  mHelp->addSeparator();
  mSupport = TaggedMenu(this, "mSupport", 273);
  mSupport->addAction(Action("aStats"));
  mSupport->addAction(Action("aSendMail"));
  mSupport->addAction(Action("miProposeServer"));
  mHelp->addMenu(mSupport);
  mHelp->addSeparator();
  mLinks = TaggedMenu(this, "mLinks", 183);
  Action("aLinks")->setMenu(mLinks);
  mHelp->addAction(Action("aLinks"));
  // The fixed links at the top of Related Links.
  mLinks->addAction(Action("aHome"));
  QAction *oxbow = mLinks->addAction(QString());
  oxbow->setObjectName("miOxbowHome");
  oxbow->setProperty(kTag, 184);
  connect(oxbow, &QAction::triggered, this, [this] { OpenServiceAddress(FSettings.HomeUrls); });
  QAction *programs = mLinks->addAction(QString());
  programs->setObjectName("miOxbowPrograms");
  programs->setProperty(kTag, 185);
  connect(programs, &QAction::triggered, this, [this] { OpenDonation(); });
  FFixedLinks = 3;

  // New Search drop-down: quick templates and categories.
  pmNewSearch = TaggedMenu(this, "pmNewSearch", 0);
  QAction *reload = pmNewSearch->addAction(QString());
  reload->setObjectName("miQuickRefresh");
  reload->setProperty(kTag, 144);
  connect(reload, &QAction::triggered, this, [this] {
    FQuickMenu->Reload();
    FillCategoriesMenu();
  });
  pmNewSearch->addSeparator();
  FSortGroup = new QActionGroup(this);
  for (auto [name, tag, type] : {std::tuple{"miSortTitle", 337, quickmenu::qmsTitle},
                                 std::tuple{"miSortCategory", 338, quickmenu::qmsCategory}}) {
    QAction *sort = pmNewSearch->addAction(QString());
    sort->setObjectName(name);
    sort->setProperty(kTag, tag);
    sort->setCheckable(true);
    FSortGroup->addAction(sort);
    connect(sort, &QAction::triggered, this, [this, type = type] {
      FQuickMenu->SetSortType(type);
      FillCategoriesMenu();
    });
  }
  pmNewSearch->addSeparator();
  mQuickTemplates = TaggedMenu(this, "mQuickTemplates", 320);
  pmNewSearch->addMenu(mQuickTemplates);
  pmNewSearch->addSeparator();
  mCategories = TaggedMenu(this, "mCategories", 191);
  pmNewSearch->addMenu(mCategories);
  connect(ui->btnCategory, &QToolButton::clicked, this, [this] {
    mCategories->exec(ui->cedtCategory->mapToGlobal(QPoint(0, ui->cedtCategory->height())));
  });

  pmRegions = TaggedMenu(this, "pmRegions", 165);

  pmTray = TaggedMenu(this, "pmTray", 0);
  pmTray->addAction(Action("aRestore"));
  pmTray->setDefaultAction(Action("aRestore"));
  pmTray->addSeparator();
  pmTray->addAction(Action("aExit"));
}

void TfrmMain::CreateToolbars() {
  auto makeBar = [this](const char *name, int tag) {
    QToolBar *bar = addToolBar(QString());
    bar->setObjectName(name);
    bar->setProperty(kTag, tag);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
  };
  tbMain = makeBar("tbMain", 219);
  // The drop-down belongs to the button only: in the File menu New Search stays a command.
  tbMain->addAction(Action("aReset"));
  if (auto *button = qobject_cast<QToolButton *>(tbMain->widgetForAction(Action("aReset")))) {
    button->setMenu(pmNewSearch);
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  tbMain->addAction(Action("aLoadResult"));
  if (auto *button = qobject_cast<QToolButton *>(tbMain->widgetForAction(Action("aLoadResult")))) {
    button->setMenu(pmMRU);
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  tbMain->addSeparator();
  // The Regions drop-down lives on its own button while category management is not offered.
  auto *regions = new QToolButton(tbMain);
  regions->setObjectName("tbRegions");
  regions->setProperty(kTag, 165);
  regions->setMenu(pmRegions);
  regions->setPopupMode(QToolButton::InstantPopup);
  regions->setIcon(pictures::ToolPicture(13));
  regions->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tbMain->addWidget(regions);

  tbSearch = makeBar("tbSearch", 220);
  tbSearch->addAction(Action("s1"));
  tbSearch->widgetForAction(Action("s1"))->setObjectName("ttb4");
  tbSearch->addAction(Action("aSearch"));
  tbSearch->addSeparator();
  tbSearch->addAction(Action("aPause"));
  tbSearch->widgetForAction(Action("aPause"))->setObjectName("tbPause");
  tbSearch->addAction(Action("aStop"));
  tbSearch->addSeparator();
  tbSearch->addAction(Action("aRefresh"));

  tbHelp = makeBar("tbHelp", 221);
  tbHelp->addAction(Action("aHelp"));
  tbHelp->addAction(Action("aHome"));
  tbHelp->addAction(Action("aStats"));

  tbFilter = makeBar("tbFilter", 269);
  for (QAction *filter : FView->FilterActions()) tbFilter->addAction(filter);

  // Pictures for the commands on the bars, from the desktop's style.
  const std::pair<const char *, QStyle::StandardPixmap> pictureOf[] = {
      {"aReset", QStyle::SP_FileIcon},         {"aSearch", QStyle::SP_MediaPlay},
      {"aPause", QStyle::SP_MediaPause},       {"aStop", QStyle::SP_MediaStop},
      {"aRefresh", QStyle::SP_BrowserReload},  {"s1", QStyle::SP_FileDialogContentsView},
      {"aHelp", QStyle::SP_DialogHelpButton},  {"aHome", QStyle::SP_DirHomeIcon},
      {"aExit", QStyle::SP_DialogCloseButton}, {"aUpdateSiteList", QStyle::SP_BrowserReload}};
  for (const auto &[name, pixmap] : pictureOf) Action(name)->setIcon(style()->standardIcon(pixmap));
}

void TfrmMain::CreateTray() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  ti = new QSystemTrayIcon(this);
  ti->setObjectName("ti");
  ti->setToolTip(QStringLiteral("Trawler"));
  ti->setIcon(pictures::StatusPicture(3));
  ti->setContextMenu(pmTray);
  connect(ti, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::DoubleClick) Action("aRestore")->trigger();
  });
}

void TfrmMain::HideToTray() {
  if (!ti) return;  // no tray on this desktop: the window stays minimised instead
  ti->show();
  hide();
}

void TfrmMain::RestoreFromTray() {
  if (!ti || !ti->isVisible()) return;
  showNormal();
  raise();
  activateWindow();
  ti->hide();
}

void TfrmMain::changeEvent(QEvent *event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && FSettings.MinimizeToSysTray && isMinimized())
    QTimer::singleShot(0, this, [this] { HideToTray(); });
}

void TfrmMain::OpenServiceAddress(const settings::UrlList &list) {
  OpenUrl("", settings::UrlForLanguage(list, FLang.PackLangId()));
}

void TfrmMain::OpenDonation() {
  const std::string donation = settings::UrlForLanguage(FSettings.DonationUrls, FLang.PackLangId());
  const std::string home =
      FSettings.HomeUrls.empty() ? std::string() : FSettings.HomeUrls.front().Value;
  OpenUrl("", mainwin::DonationAddress(donation, home));
}

void TfrmMain::SendMail(bool proposeServer) {
  const std::string mail = mainwin::MailAddress(
      settings::UrlForLanguage(FSettings.EmailUrls, FLang.PackLangId()), proposeServer);
  if (!mail.empty()) platform::ShellOpen(mail);
}

void TfrmMain::ApplyTexts() {
  ApplyToComponent(this, FLang);
  if (ti) ti->setToolTip(QStringLiteral("Trawler"));
}

}  // namespace trawler::ui
