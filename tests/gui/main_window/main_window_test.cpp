// The main window against simulated sites on this machine: start-up, searches from the
// simple panel, pausing and stopping, New Search with the save question, the title, and
// a second copy of the program handing over to the first.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "core/mainwin/engine_rows.h"
#include "core/engine_list.h"
#include "platform/registry.h"
#include "results/list_search_bot.h"
#include "results/results_list.h"
#include "sitesim/site_simulator.h"
#include "support/quickmenu/quick_menu.h"
#include "support/settings/defaults_list.h"
#include "ui/main/asker.h"
#include "ui/main/instance_name.h"
#include "ui/main/main_window.h"
#include "ui/main/splash_window.h"
#include "ui/platform/single_instance.h"
#include "ui/result_view/result_view.h"

using namespace trawler;

namespace {

constexpr int kSearchTimeoutMs = 30000;

// Sites slow enough to be paused and stopped while they work: several pages each, every
// answer a little late.
std::vector<sitesim::SimSite> SlowSites() {
  std::vector<sitesim::SimSite> sites;
  for (int i = 0; i < 3; ++i) {
    sitesim::SimSite site;
    site.id = "slow" + std::to_string(i);
    site.caption = "Slow " + std::to_string(i);
    site.total = 80;
    site.latencyMs = 300;
    sites.push_back(site);
  }
  return sites;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<sitesim::SiteSimulator> FQuick, FSlow;
  QTemporaryDir FQuickSites, FSlowSites;
  std::unique_ptr<QTemporaryDir> FProfile;
  ui::ScriptedAsker FAsker;
  std::unique_ptr<ui::TfrmSplash> FSplash;
  std::unique_ptr<ui::TfrmMain> FWindow;

  // Settings written to the profile before the window reads them.
  void WriteSettings(const std::function<void(settings::tDefaultsList &)> &change) {
    platform::RegistryStore store(FProfile->path().toStdString());
    settings::tDefaultsList values;
    values.Load(store);
    change(values);
    QVERIFY(values.Save(store));
  }

  void OpenWindow(const QTemporaryDir &sites) {
    ui::MainWindowOptions options;
    options.ProfileDir = FProfile->path().toStdString();
    options.SitesDir = sites.path().toStdString();
    options.Questions = &FAsker;
    options.Splash = FSplash.get();
    options.LocalSites = true;
    FSplash->show();
    FWindow = std::make_unique<ui::TfrmMain>(options);
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
  }

  template <typename T>
  T *Child(const char *name) {
    T *child = FWindow->findChild<T *>(name);
    if (!child) qFatal("no child %s", name);
    return child;
  }

  void StartSearch(const QString &query) {
    Child<QComboBox>("edtQuery")->setEditText(query);
    QTRY_VERIFY(FWindow->Action("aSearch")->isEnabled());
    FWindow->Action("aSearch")->trigger();
    QCOMPARE(FWindow->State(), mainwin::SearchState::Searching);
  }

  // Waits for the end of the search; the end-of-search notice (on by default) is checked
  // and taken off the list of questions.
  void WaitIdle() {
    QTRY_COMPARE_WITH_TIMEOUT(FWindow->State(), mainwin::SearchState::Idle, kSearchTimeoutMs);
    if (FWindow->Settings().EndSearchNotify) {
      QVERIFY(!FAsker.Asked.empty());
      QCOMPARE(FAsker.Asked.back().kind, ui::Asker::Information);
      QCOMPARE(FAsker.Asked.back().text, LastLogLine());
      FAsker.Asked.pop_back();
    }
  }

  QString LastLogLine() {
    const auto &lines = FWindow->Log().Lines();
    return lines.empty() ? QString() : QString::fromStdString(lines.back());
  }
  QString FirstLogLine() {
    const auto &lines = FWindow->Log().Lines();
    return lines.empty() ? QString() : QString::fromStdString(lines.front());
  }

 private slots:
  void initTestCase() {
    FQuick = std::make_unique<sitesim::SiteSimulator>(sitesim::DemoSites(6));
    QVERIFY(FQuick->start() != 0);
    QVERIFY(FQuick->writeSiteFiles(FQuickSites.path().toStdString()));
    FSlow = std::make_unique<sitesim::SiteSimulator>(SlowSites());
    QVERIFY(FSlow->start() != 0);
    QVERIFY(FSlow->writeSiteFiles(FSlowSites.path().toStdString()));
  }

  void init() {
    FProfile = std::make_unique<QTemporaryDir>();
    FAsker.Answers.clear();
    FAsker.Asked.clear();
    FAsker.Default = QMessageBox::No;
    FAsker.SaveFile.clear();
    FSplash = std::make_unique<ui::TfrmSplash>();
  }

  void cleanup() {
    FWindow.reset();
    FSplash.reset();
    FProfile.reset();
  }

  void cleanupTestCase() {
    FQuick->stop();
    FSlow->stop();
  }

  void startUpClosesSplashAndShowsCategory() {
    OpenWindow(FQuickSites);
    QTRY_VERIFY_WITH_TIMEOUT(!FSplash->isVisible(), 5000);
    QCOMPARE(FSplash->Status(), QStringLiteral("All done"));
    // The stored category is unknown to a fresh profile's sites: the root category.
    QCOMPARE(FWindow->windowTitle(), QStringLiteral("Trawler [Category: Common search]"));
    QCOMPARE(Child<QLineEdit>("cedtCategory")->text(), QStringLiteral("Common search"));
    QVERIFY(FWindow->Action("aSearch")->isEnabled());
    QVERIFY(!FWindow->Action("aStop")->isEnabled());
    QVERIFY(!FWindow->Action("aPause")->isEnabled());
    QCOMPARE(Child<QTableView>("lvExt")->objectName(), QStringLiteral("lvExt"));
    QCOMPARE(FWindow->Action("aSearch")->property("tag").toInt(), 142);
    QCOMPARE(FWindow->Action("aSearch")->text(), QStringLiteral("Search"));
    // The program names itself to the sites with the descriptions' version.
    QVERIFY2(QString::fromStdString(FWindow->Engines().AgentVersion).endsWith(" (SDF 1.0)"),
             FWindow->Engines().AgentVersion.c_str());
    // Related Links: the fixed entries, then one submenu per region with its sites.
    auto *links = FWindow->findChild<QMenu *>("mLinks");
    QVERIFY(links);
    QMenu *world = nullptr;
    for (QAction *item : links->actions())
      if (item->menu() && item->text() == QStringLiteral("World")) world = item->menu();
    QVERIFY(world);
    QStringList sites;
    for (QAction *item : world->actions()) sites << item->text();
    QCOMPARE(sites, (QStringList{"Sim Alpha", "Sim Bravo", "Sim Charlie", "Sim Delta", "Sim Echo",
                                 "Sim Foxtrot"}));
  }

  void regionSwitchedOffLeavesNoEngineToSearch() {
    OpenWindow(FQuickSites);
    auto *regions = FWindow->findChild<QMenu *>("pmRegions");
    QVERIFY(regions);
    QCOMPARE(regions->actions().size(), 1);
    QAction *world = regions->actions().front();
    QCOMPARE(world->text(), QStringLiteral("World"));
    QVERIFY(world->isChecked());
    world->trigger();  // off
    QVERIFY(!world->isChecked());
    Child<QComboBox>("edtQuery")->setEditText(QStringLiteral("gudgeon"));
    FWindow->Action("aSearch")->trigger();  // ends at once: no engine takes part
    WaitIdle();
    QCOMPARE(FWindow->EngineRowList().Count(), 0);
    QCOMPARE(LastLogLine(), QString::fromStdString(FWindow->Lang().MessageText(51)));
  }

  void toolbarsAndPageComeBackAsTheyWereLeft() {
    OpenWindow(FQuickSites);
    FWindow->Action("aPanelHelp")->trigger();  // hide the Help toolbar
    QVERIFY(FWindow->findChild<QWidget *>("tbHelp")->isHidden());
    Child<QTabWidget>("pc")->setCurrentWidget(Child<QWidget>("tbs4"));
    FWindow.reset();
    FSplash = std::make_unique<ui::TfrmSplash>();
    OpenWindow(FQuickSites);
    QTRY_VERIFY(!FSplash->isVisible());
    QVERIFY(!FWindow->Action("aPanelHelp")->isChecked());
    QVERIFY(FWindow->findChild<QWidget *>("tbHelp")->isHidden());
    QVERIFY(!FWindow->findChild<QWidget *>("tbSearch")->isHidden());
    QCOMPARE(Child<QTabWidget>("pc")->currentWidget()->objectName(), QStringLiteral("tbs4"));
  }

  void searchFillsResultViewAndEnginesTab() {
    OpenWindow(FQuickSites);
    StartSearch(QStringLiteral("fish"));
    QVERIFY(Child<QLabel>("sbSearch")->property("busy").toBool());
    QVERIFY(!FWindow->Action("aSearch")->isEnabled());
    QVERIFY(FWindow->Action("aStop")->isEnabled());
    QVERIFY(!Child<QWidget>("pnlSimpleSearch")->isEnabled());
    WaitIdle();

    const int rows = FWindow->View()->RowCount();
    QVERIFY2(rows > 0, "the result view has no rows");
    QVERIFY(!Child<QLabel>("sbSearch")->property("busy").toBool());
    QCOMPARE(Child<QLabel>("sbRows")->text(), QString::number(rows));
    QCOMPARE(rows, FWindow->Engines().ResultList->Count());
    const auto &engineRows = FWindow->EngineRowList();
    QCOMPARE(engineRows.Count(), 6);
    for (const mainwin::EngineRow &row : engineRows.Rows()) {
      QCOMPARE(row.Picture, static_cast<int>(mainwin::epDone));
      QCOMPARE(QString::fromStdString(row.State), QStringLiteral("The search is finished"));
      QVERIFY(!row.Received.empty());
    }
    QVERIFY(Child<QTableView>("lvSearch")->model()->rowCount() == 6);
    QVERIFY2(FirstLogLine().startsWith(QStringLiteral("The search is started")), qPrintable(FirstLogLine()));
    QVERIFY2(LastLogLine().startsWith(QStringLiteral("The search is finished")), qPrintable(LastLogLine()));
    QVERIFY(LastLogLine().endsWith(QStringLiteral("loaded %1 links").arg(FWindow->Engines().OverallResults)));
    // Idle again, with the query at the top of the history.
    QVERIFY(FWindow->Action("aSearch")->isEnabled());
    QVERIFY(FWindow->Action("aRefresh")->isEnabled());
    // New Search is a command in the File menu; its drop-down hangs on the toolbar button.
    QVERIFY(!FWindow->Action("aReset")->menu());
    QVERIFY(FWindow->Action("s1")->isEnabled());
    QCOMPARE(Child<QComboBox>("edtQuery")->itemText(0), QStringLiteral("fish"));

    // The same query again keeps one history entry; another one goes on top.
    StartSearch(QStringLiteral("fish"));
    WaitIdle();
    StartSearch(QStringLiteral("perch"));
    WaitIdle();
    auto *history = Child<QComboBox>("edtQuery");
    QCOMPARE(history->count(), 2);
    QCOMPARE(history->itemText(0), QStringLiteral("perch"));
    QCOMPARE(history->itemText(1), QStringLiteral("fish"));
  }

  void searchInRetrievedFiltersAndRejectsBadExpressions() {
    OpenWindow(FQuickSites);
    StartSearch(QStringLiteral("fish"));
    WaitIdle();
    const int all = FWindow->View()->RowCount();
    FWindow->Action("s1")->trigger();
    QVERIFY(FWindow->Action("s1")->isChecked());
    QVERIFY(!FWindow->Action("aRefresh")->isEnabled());
    Child<QComboBox>("edtQuery")->setEditText(QStringLiteral("Sim Alpha page 1 "));
    Child<QComboBox>("cbxMatchMode")->setCurrentIndex(2);  // exact phrase
    FWindow->Action("aSearch")->trigger();
    QVERIFY(FAsker.Asked.empty());
    QVERIFY2(FWindow->View()->RowCount() > 0 && FWindow->View()->RowCount() < all,
             qPrintable(QString::number(FWindow->View()->RowCount())));
    // Boolean mode is refused with messages 18 and 34.
    Child<QComboBox>("cbxMatchMode")->setCurrentIndex(3);
    FWindow->Action("aSearch")->trigger();
    QCOMPARE(FAsker.Asked.size(), std::size_t(1));
    QVERIFY(FAsker.Asked[0].text.contains(QStringLiteral("Boolean search is not allowed here")));
    // A regular expression that does not compile is reported and the filter stays.
    Child<QComboBox>("cbxMatchMode")->setCurrentIndex(0);
    auto *regExp = Child<QToolButton>("sbRegExp");
    QVERIFY(!regExp->isHidden());
    regExp->setChecked(true);
    QCOMPARE(FWindow->Settings().UseRegExp, 0);
    QVERIFY(!Child<QComboBox>("cbxMatchMode")->isEnabled());
    const int filtered = FWindow->View()->RowCount();
    Child<QComboBox>("edtQuery")->setEditText(QStringLiteral("page (1"));
    FWindow->Action("aSearch")->trigger();
    QCOMPARE(FAsker.Asked.size(), std::size_t(2));
    QCOMPARE(FAsker.Asked[1].kind, ui::Asker::Error);
    QCOMPARE(FWindow->View()->RowCount(), filtered);
    // A good one filters by the expression.
    Child<QComboBox>("edtQuery")->setEditText(QStringLiteral("Sim (Alpha|Bravo) page 1 "));
    FWindow->Action("aSearch")->trigger();
    QCOMPARE(FAsker.Asked.size(), std::size_t(2));
    QCOMPARE(FWindow->View()->RowCount(), 2);
    // Switching off shows every result again.
    FWindow->Action("s1")->trigger();
    QCOMPARE(FWindow->View()->RowCount(), all);
    QVERIFY(regExp->isHidden());
  }

  void pauseResumeAndStopTheWholeSearch() {
    OpenWindow(FSlowSites);
    StartSearch(QStringLiteral("carp"));
    QTRY_VERIFY_WITH_TIMEOUT(FWindow->View()->RowCount() > 0, kSearchTimeoutMs);
    FWindow->Action("aPause")->trigger();
    // Down at once, and it stays down while the engines finish their pages.
    QVERIFY(FWindow->Action("aPause")->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(FWindow->State(), mainwin::SearchState::Paused, kSearchTimeoutMs);
    QVERIFY(FWindow->Action("aPause")->isChecked());
    QVERIFY2(FirstLogLine().startsWith(QStringLiteral("The search is suspended")), qPrintable(FirstLogLine()));
    for (const mainwin::EngineRow &row : FWindow->EngineRowList().Rows())
      if (row.Picture != mainwin::epDone) QCOMPARE(row.Picture, static_cast<int>(mainwin::epSuspended));
    const int pausedRows = FWindow->View()->RowCount();
    QTest::qWait(800);
    QCOMPARE(FWindow->View()->RowCount(), pausedRows);  // nothing arrives while paused

    FWindow->Action("aPause")->trigger();  // resume
    QCOMPARE(FWindow->State(), mainwin::SearchState::Searching);
    QVERIFY(!FWindow->Action("aPause")->isChecked());
    QVERIFY2(FirstLogLine().startsWith(QStringLiteral("The search is resumed")), qPrintable(FirstLogLine()));
    QTRY_VERIFY_WITH_TIMEOUT(FWindow->View()->RowCount() > pausedRows, kSearchTimeoutMs);

    FWindow->Action("aStop")->trigger();
    QCOMPARE(FWindow->State(), mainwin::SearchState::Idle);
    const auto &lines = FWindow->Log().Lines();
    QVERIFY(std::find(lines.begin(), lines.end(), "Search aborted by request") != lines.end());
    QVERIFY(LastLogLine().startsWith(QStringLiteral("The search is finished")));
    QVERIFY(FWindow->Action("aSearch")->isEnabled());
    QVERIFY(!FWindow->Action("aStop")->isEnabled());
  }

  void pauseAndStopOneEngine() {
    OpenWindow(FSlowSites);
    StartSearch(QStringLiteral("pike"));
    QTRY_VERIFY_WITH_TIMEOUT(FWindow->EngineRowList().Count() == 3, kSearchTimeoutMs);
    auto *engines = Child<QTableView>("lvSearch");
    auto command = [&](int row, const char *name) {
      engines->setCurrentIndex(engines->model()->index(row, 0));
      Child<QAction>(name)->trigger();
    };
    command(0, "miEnginePause");
    QTRY_COMPARE_WITH_TIMEOUT(FWindow->EngineRowList().Row(0).Picture,
                              static_cast<int>(mainwin::epSuspended), kSearchTimeoutMs);
    QCOMPARE(FWindow->State(), mainwin::SearchState::Searching);  // the others go on
    command(1, "miEngineStop");
    QCOMPARE(FWindow->EngineRowList().Row(1).Picture, static_cast<int>(mainwin::epDone));
    // Play brings the paused engine back to work.
    command(0, "miEnginePlay");
    QTRY_COMPARE_WITH_TIMEOUT(FWindow->EngineRowList().Row(0).Picture,
                              static_cast<int>(mainwin::epWorking), kSearchTimeoutMs);
    WaitIdle();
    const core::TEngine *stopped = FWindow->EngineRowList().Row(1).Engine;
    const core::TEngine *finished = FWindow->EngineRowList().Row(2).Engine;
    QVERIFY(stopped->HitCount < finished->HitCount);
  }

  void automaticLinkChecksShareTheConnections() {
    WriteSettings([](settings::tDefaultsList &s) {
      s.AutoCheckLinks = true;
      s.ConnectionsLimit = 5;
    });
    OpenWindow(FSlowSites);
    StartSearch(QStringLiteral("chub"));
    QCOMPARE(FWindow->Engines().MaxConnections, 4);
    QCOMPARE(FWindow->LinkChecker()->MaxBots, 1);
    WaitIdle();
    QCOMPARE(FWindow->LinkChecker()->MaxBots, 5);
    // Every new result went to the checker; its outcomes come back into the result list
    // (the simulated pages' hosts do not exist, so the outcome is the failure's reason).
    auto &results = *FWindow->Engines().ResultList;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          for (int i = 0; i < results.Count(); ++i)
            if (results.Items(i)->CheckState != 1 || !results.Items(i)->Reason.empty()) return true;
          return false;
        }(),
        kSearchTimeoutMs);
  }

  void closingDuringASearchEndsCleanly() {
    OpenWindow(FSlowSites);
    StartSearch(QStringLiteral("tench"));
    QTRY_VERIFY_WITH_TIMEOUT(FWindow->View()->RowCount() > 0, kSearchTimeoutMs);
    QVERIFY(FWindow->close());
    FWindow.reset();
    // The settings were written on the way out, with the query in the history.
    platform::RegistryStore store(FProfile->path().toStdString());
    settings::tDefaultsList stored;
    stored.Load(store);
    QCOMPARE(stored.query, std::string("tench"));
  }

  void newSearchAsksToSaveUnsavedResults() {
    WriteSettings([](settings::tDefaultsList &s) {
      s.ClearListBeforeSearch = true;
      s.SaveAtClose = true;
    });
    OpenWindow(FQuickSites);
    StartSearch(QStringLiteral("trout"));
    WaitIdle();
    const int results = FWindow->Engines().ResultList->Count();
    QVERIFY(results > 0);

    FAsker.Answers = {QMessageBox::Cancel};
    FWindow->Action("aReset")->trigger();
    QCOMPARE(FAsker.Asked.size(), std::size_t(1));
    QCOMPARE(FAsker.Asked[0].text, QStringLiteral("Results are not saved. Save them now?"));
    QCOMPARE(FWindow->Engines().ResultList->Count(), results);  // Cancel leaves all as it was
    QCOMPARE(FWindow->EngineRowList().Count(), 6);

    FAsker.Answers = {QMessageBox::No};
    FWindow->Action("aReset")->trigger();
    QCOMPARE(FAsker.Asked.size(), std::size_t(2));
    QCOMPARE(FWindow->Engines().ResultList->Count(), 0);
    QCOMPARE(FWindow->View()->RowCount(), 0);
    QCOMPARE(FWindow->EngineRowList().Count(), 0);
    QCOMPARE(Child<QTabWidget>("pc")->currentWidget()->objectName(), QStringLiteral("tbs1"));
    // The query and the category stay.
    QCOMPARE(Child<QComboBox>("edtQuery")->currentText(), QStringLiteral("trout"));
    QCOMPARE(FWindow->windowTitle(), QStringLiteral("Trawler [Category: Common search]"));

    // Nothing unsaved now: no question.
    FWindow->Action("aReset")->trigger();
    QCOMPARE(FAsker.Asked.size(), std::size_t(2));

    // Yes saves into the file the user names, and the new search goes on.
    StartSearch(QStringLiteral("trout"));
    WaitIdle();
    FAsker.Asked.clear();
    FAsker.Answers = {QMessageBox::Yes};
    FAsker.SaveFile = FProfile->filePath(QStringLiteral("kept"));
    FWindow->Action("aReset")->trigger();
    QCOMPARE(FAsker.Asked.size(), std::size_t(2));  // the question and the file
    QVERIFY(QFileInfo(FProfile->filePath(QStringLiteral("kept.twf"))).size() > 0);
    QCOMPARE(FWindow->Engines().ResultList->Count(), 0);
  }

  void titleFollowsTheChosenCategory() {
    OpenWindow(FQuickSites);
    auto *categories = FWindow->findChild<QMenu *>("mCategories");
    QVERIFY(categories);
    QStringList captions;
    for (QAction *item : categories->actions())
      if (!item->isSeparator()) captions << item->text();
    QCOMPARE(captions, (QStringList{"Common search (0)", "Search engines (5)"}));
    for (QAction *item : categories->actions())
      if (item->data().toString() == "5") item->trigger();
    QCOMPARE(FWindow->windowTitle(), QStringLiteral("Trawler [Category: Search engines]"));
    QCOMPARE(Child<QLineEdit>("cedtCategory")->text(), QStringLiteral("Search engines"));
    QCOMPARE(QString::fromStdString(FWindow->Settings().Category), QStringLiteral("5"));
    // A search of that category asks only its sites (every fourth demo site).
    StartSearch(QStringLiteral("eel"));
    WaitIdle();
    QCOMPARE(FWindow->EngineRowList().Count(), 1);
  }

  void quickTemplateSelectsItsSitesAndNamesTheTitle() {
    {
      platform::RegistryStore store(FProfile->path().toStdString());
      quickmenu::tQMList templates(store);
      templates.RegRootPath = quickmenu::tQMList::kMainRegRootPath;
      quickmenu::tQMItem *fishing = templates.AddTemplate("Fishing");
      QVERIFY(fishing);
      fishing->SetCategory("5");
    }
    OpenWindow(FQuickSites);
    auto *menu = FWindow->findChild<QMenu *>("mQuickTemplates");
    QVERIFY(menu);
    QAction *entry = nullptr;
    QTRY_VERIFY([&] {
      for (QAction *item : menu->actions())
        if (item->text() == QStringLiteral("Fishing (5)")) entry = item;
      return entry != nullptr;
    }());
    entry->trigger();
    QCOMPARE(FWindow->windowTitle(), QStringLiteral("Trawler [Search template: Fishing]"));
    QCOMPARE(QString::fromStdString(FWindow->Settings().Category), QStringLiteral("5"));
    QCOMPARE(Child<QLineEdit>("cedtCategory")->text(), QStringLiteral("Search engines"));
    StartSearch(QStringLiteral("bream"));
    WaitIdle();
    QCOMPARE(FWindow->EngineRowList().Count(), 1);
  }

  void refreshAddsToTheCurrentResults() {
    OpenWindow(FQuickSites);
    StartSearch(QStringLiteral("roach"));
    WaitIdle();
    auto &results = *FWindow->Engines().ResultList;
    const int before = results.Count();
    // The panel shows another query: Refresh searches with the result set's own.
    Child<QComboBox>("edtQuery")->setEditText(QStringLiteral("something else"));
    FWindow->Action("aRefresh")->trigger();
    QVERIFY(FWindow->State() != mainwin::SearchState::Idle);
    WaitIdle();
    QCOMPARE(results.Count(), before);  // the same pages again: merged, never cleared
    QCOMPARE(QString::fromStdString(FWindow->Engines().SearchWord), QStringLiteral("roach"));
    QCOMPARE(FWindow->EngineRowList().Count(), 6);
  }

  void hintsFollowTheSetting() {
    struct TipCounter : QWidget {
      int Tips = 0;
      bool event(QEvent *event) override {
        if (event->type() == QEvent::ToolTip) ++Tips;
        return QWidget::event(event);
      }
    };
    WriteSettings([](settings::tDefaultsList &s) { s.ShowHints = false; });
    OpenWindow(FQuickSites);
    TipCounter probe;
    QHelpEvent ask(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(&probe, &ask);
    QCOMPARE(probe.Tips, 0);
    FWindow.reset();
    WriteSettings([](settings::tDefaultsList &s) { s.ShowHints = true; });
    OpenWindow(FQuickSites);
    QApplication::sendEvent(&probe, &ask);
    QCOMPARE(probe.Tips, 1);
  }

  void secondCopyHandsOverToTheFirst() {
    WriteSettings([](settings::tDefaultsList &s) { s.OneInstance = true; });
    const QStringList args{"--profile", FProfile->path(), "--sites", FQuickSites.path()};
    QProcess first, second;
    first.start(TRAWLER_GUI_PATH, args);
    QVERIFY(first.waitForStarted());
    ui::SingleInstance probe(ui::InstanceName(FProfile->path()));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(probe.ServerPath()), 15000);
    second.start(TRAWLER_GUI_PATH, args);
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // With OneInstance off every start runs its own copy.
    first.terminate();
    QVERIFY(first.waitForFinished(15000));
    WriteSettings([](settings::tDefaultsList &s) { s.OneInstance = false; });
    QProcess third;
    first.start(TRAWLER_GUI_PATH, args);
    QVERIFY(first.waitForStarted());
    third.start(TRAWLER_GUI_PATH, args);
    QVERIFY(third.waitForStarted());
    QVERIFY(!third.waitForFinished(3000));
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    third.terminate();
    QVERIFY(first.waitForFinished(15000));
    QVERIFY(third.waitForFinished(15000));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
