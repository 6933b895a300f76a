// Result sets in the main window: saving through the unsaved-results question, opening a
// set again from the Open drop-down's recent files, the rules of that list, the catalogue
// and the command line filling it at the next start, and a file that is no result set.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <set>

#include "core/mainwin/engine_rows.h"
#include "core/mainwin/search_log.h"
#include "core/engine_list.h"
#include "platform/registry.h"
#include "results/result_set_file.h"
#include "results/results_list.h"
#include "results/saved_results.h"
#include "results/url_result.h"
#include "sitesim/site_simulator.h"
#include "support/settings/defaults_list.h"
#include "ui/main/asker.h"
#include "ui/main/instance_name.h"
#include "ui/main/main_window.h"
#include "ui/platform/single_instance.h"
#include "ui/result_view/result_view.h"

using namespace trawler;

namespace {

constexpr int kSearchTimeoutMs = 30000;

struct Snapshot {
  std::set<std::string> Urls;
  std::vector<mainwin::EngineRow> Rows;
  std::vector<std::string> Log;
};

bool SameRows(const std::vector<mainwin::EngineRow> &a, const std::vector<mainwin::EngineRow> &b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].Caption != b[i].Caption || a[i].State != b[i].State ||
        a[i].Received != b[i].Received || a[i].Total != b[i].Total ||
        a[i].Transferred != b[i].Transferred || a[i].Picture != b[i].Picture)
      return false;
  return true;
}

}  // namespace

class RecentFilesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<sitesim::SiteSimulator> FSites;
  QTemporaryDir FSitesDir;
  std::unique_ptr<QTemporaryDir> FProfile;
  ui::ScriptedAsker FAsker;
  std::unique_ptr<ui::TfrmMain> FWindow;

  void WriteSettings(const std::function<void(settings::tDefaultsList &)> &change) {
    platform::RegistryStore store(FProfile->path().toStdString());
    settings::tDefaultsList values;
    values.Load(store);
    change(values);
    QVERIFY(values.Save(store));
  }

  void OpenWindow(const std::string &openFile = {}) {
    ui::MainWindowOptions options;
    options.ProfileDir = FProfile->path().toStdString();
    options.SitesDir = FSitesDir.path().toStdString();
    options.Questions = &FAsker;
    options.LocalSites = true;
    options.OpenFile = openFile;
    FWindow = std::make_unique<ui::TfrmMain>(options);
    FWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
  }

  void Search(const QString &query) {
    FWindow->findChild<QComboBox *>("edtQuery")->setEditText(query);
    QTRY_VERIFY(FWindow->Action("aSearch")->isEnabled());
    FWindow->Action("aSearch")->trigger();
    QCOMPARE(FWindow->State(), mainwin::SearchState::Searching);
    // No result set is opened while a search adds to the results.
    QVERIFY(!FWindow->Action("aLoadResult")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(FWindow->State(), mainwin::SearchState::Idle, kSearchTimeoutMs);
    QVERIFY(FWindow->Action("aLoadResult")->isEnabled());
    QVERIFY(FWindow->Engines().ResultList->Count() > 0);
    FAsker.Asked.clear();  // the end-of-search notice
  }

  Snapshot Take() const {
    Snapshot shot;
    const results::tResultsList &list = *FWindow->Engines().ResultList;
    for (int i = 0; i < list.Count(); ++i) shot.Urls.insert(list.Items(i)->MainUrl());
    shot.Rows = FWindow->EngineRowList().Rows();
    shot.Log = FWindow->Log().Lines();
    return shot;
  }

  // Saves the unsaved results through New Search's question, answering Yes.
  QString SaveThroughPrompt(const QString &name) {
    FAsker.Answers = {QMessageBox::Yes};
    FAsker.SaveFile = FProfile->filePath(name);
    FWindow->Action("aReset")->trigger();
    FAsker.Asked.clear();
    return FProfile->filePath(name + QStringLiteral(".twf"));
  }

  QMenu *Mru() const { return FWindow->findChild<QMenu *>("pmMRU"); }

  // The drop-down's recent entries, as the files they open.
  QStringList MenuFiles() const {
    QStringList files;
    for (QAction *entry : Mru()->actions())
      if (!entry->isSeparator() && entry != FWindow->Action("aLoadResult"))
        files << entry->data().toString();
    return files;
  }

  QString Title(const QString &file) const {
    return QStringLiteral("Trawler [Saved results: %1]").arg(file);
  }

  bool AskedError(const QString &text) const {
    for (const auto &question : FAsker.Asked)
      if (question.kind == ui::Asker::Error && question.text == text) return true;
    return false;
  }

 private slots:
  void initTestCase() {
    FSites = std::make_unique<sitesim::SiteSimulator>(sitesim::DemoSites(3));
    QVERIFY(FSites->start() != 0);
    QVERIFY(FSites->writeSiteFiles(FSitesDir.path().toStdString()));
  }

  void init() {
    FProfile = std::make_unique<QTemporaryDir>();
    FAsker.Answers.clear();
    FAsker.Asked.clear();
    FAsker.Default = QMessageBox::No;
    WriteSettings([](settings::tDefaultsList &s) {
      s.ClearListBeforeSearch = true;
      s.SaveAtClose = true;
      s.EndSearchNotify = false;
      s.AutoCheckLinks = false;  // the results point nowhere; checks would only slow the tests
    });
  }

  void cleanup() {
    FWindow.reset();
    FProfile.reset();
  }

  void cleanupTestCase() { FSites->stop(); }

  void savedSetComesBackFromTheRecentFiles() {
    OpenWindow();
    QCOMPARE(Mru()->actions().size(), 1);  // Open alone until a file was used
    QCOMPARE(Mru()->actions().front(), FWindow->Action("aLoadResult"));
    Search(QStringLiteral("trout"));
    const Snapshot before = Take();
    QVERIFY(!before.Rows.empty());
    QVERIFY(!before.Log.empty());

    const QString file = SaveThroughPrompt(QStringLiteral("trout"));
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(FWindow->Engines().ResultList->Count(), 0);
    QCOMPARE(FWindow->EngineRowList().Count(), 0);
    QCOMPARE(MenuFiles(), QStringList{file});
    QVERIFY(Mru()->actions().at(1)->isSeparator());
    QCOMPARE(FWindow->Settings().LastSaveDir, FProfile->path().toStdString());

    FWindow->findChild<QComboBox *>("edtQuery")->setEditText(QStringLiteral("salmon"));
    Mru()->actions().at(2)->trigger();
    const Snapshot after = Take();
    QCOMPARE(after.Urls, before.Urls);
    QCOMPARE(FWindow->View()->RowCount(), static_cast<int>(before.Urls.size()));
    QVERIFY(SameRows(after.Rows, before.Rows));
    QCOMPARE(after.Log, before.Log);
    QCOMPARE(FWindow->windowTitle(), Title(file));
    QCOMPARE(FWindow->findChild<QComboBox *>("edtQuery")->currentText(), QStringLiteral("trout"));
    QVERIFY(FAsker.Asked.empty());  // the results were saved: nothing to ask
    QVERIFY(FWindow->Action("aRefresh")->isEnabled());

    // Opening the same file again, and under a name differing in letter case only, keeps
    // one entry on top.
    FWindow->LoadResultSet(file.toStdString());
    QCOMPARE(MenuFiles(), QStringList{file});
    const QString other = FProfile->filePath(QStringLiteral("other.twf"));
    QVERIFY(QFile::copy(file, other));
    FWindow->LoadResultSet(other.toStdString());
    QCOMPARE(MenuFiles(), (QStringList{other, file}));
    const QString upper = FProfile->filePath(QStringLiteral("TROUT.TWF"));
    QVERIFY(QFile::copy(file, upper));
    FWindow->LoadResultSet(upper.toStdString());
    QCOMPARE(MenuFiles(), (QStringList{file, other}));
    QCOMPARE(FWindow->windowTitle(), Title(upper));
  }

  void catalogueAndCommandLineFillTheListAtStart() {
    OpenWindow();
    Search(QStringLiteral("trout"));
    const Snapshot before = Take();
    const QString first = SaveThroughPrompt(QStringLiteral("first"));
    Search(QStringLiteral("perch"));
    const QString second = SaveThroughPrompt(QStringLiteral("second"));
    QCOMPARE(MenuFiles(), (QStringList{second, first}));
    FWindow.reset();

    // The next start reads the recent files from the catalogue and opens its argument.
    OpenWindow(first.toStdString());
    QTRY_COMPARE(FWindow->windowTitle(), Title(first));
    QCOMPARE(Take().Urls, before.Urls);
    QCOMPARE(MenuFiles(), (QStringList{first, second}));

    // The Open command takes the file the user picks.
    FAsker.OpenFile = second;
    FWindow->Action("aLoadResult")->trigger();
    QCOMPARE(FWindow->windowTitle(), Title(second));
    QCOMPARE(MenuFiles(), (QStringList{second, first}));
  }

  void noRecentFilesWhenTheirNumberIsZero() {
    WriteSettings([](settings::tDefaultsList &s) { s.MRUHitsCount = 0; });
    OpenWindow();
    Search(QStringLiteral("trout"));
    const QString file = SaveThroughPrompt(QStringLiteral("trout"));
    QVERIFY(QFileInfo::exists(file));
    FWindow->LoadResultSet(file.toStdString());
    QCOMPARE(FWindow->windowTitle(), Title(file));
    QCOMPARE(Mru()->actions().size(), 1);
    QVERIFY(FWindow->RecentFiles().empty());
  }

  void fileThatIsNoResultSetLeavesAllAsItWas() {
    OpenWindow();
    Search(QStringLiteral("trout"));
    const QString saved = SaveThroughPrompt(QStringLiteral("trout"));
    Search(QStringLiteral("perch"));
    const Snapshot before = Take();
    const QString title = FWindow->windowTitle();
    const QString bad = FProfile->filePath(QStringLiteral("notes.twf"));
    QFile notes(bad);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("just some notes\n");
    notes.close();

    FAsker.Answers = {QMessageBox::No};  // keep the unsaved results unsaved
    FWindow->LoadResultSet(bad.toStdString());
    QVERIFY(AskedError(QStringLiteral("Bad file format")));
    const Snapshot after = Take();
    QCOMPARE(after.Urls, before.Urls);
    QVERIFY(SameRows(after.Rows, before.Rows));
    QCOMPARE(after.Log, before.Log);
    QCOMPARE(FWindow->windowTitle(), title);
    QCOMPARE(MenuFiles(), QStringList{saved});
    QVERIFY(FWindow->Action("aLoadResult")->isEnabled());
  }

  // An older ".twr" set: its results and search come back; a category the sites do not
  // know becomes the root category.
  void oldFileOpensWithItsSearch() {
    OpenWindow();
    const QString file = FProfile->filePath(QStringLiteral("old.twr"));
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("nosuchcategory\r\nunused\r\nmy words\r\n2\r\nunused\r\nunused\r\n"
              "#%First\r\n%0http://a.lan/main\r\n%4 0\r\n"
              "#%Second\r\n%0http://b.lan/\r\n");
    old.close();
    FWindow->LoadResultSet(file.toStdString());
    QVERIFY(FAsker.Asked.empty());
    QCOMPARE(Take().Urls, (std::set<std::string>{"http://a.lan/main", "http://b.lan/"}));
    QCOMPARE(FWindow->findChild<QComboBox *>("edtQuery")->currentText(), QStringLiteral("my words"));
    QCOMPARE(FWindow->findChild<QComboBox *>("cbxMatchMode")->currentIndex(), 2);
    QCOMPARE(FWindow->Settings().Category, std::string("0"));
    QCOMPARE(FWindow->windowTitle(), Title(file));
    QCOMPARE(MenuFiles(), QStringList{file});
    QVERIFY(FWindow->Log().Lines().empty());
  }

  // A second copy started with a file hands it to the first, which opens it (and so
  // records it in the catalogue the two share).
  void secondCopyHandsItsFileToTheFirst() {
    WriteSettings([](settings::tDefaultsList &s) { s.OneInstance = true; });
    const QString file = FProfile->filePath(QStringLiteral("pike.twf"));
    results::tResultsList set;
    set.Keywords = "pike";
    results::SaveToFile(set, file.toStdString(), "Search done", true, false, false,
                        "3#1#1#1#Done#Site");
    const QStringList args{"--profile", FProfile->path(), "--sites", FSitesDir.path()};
    QProcess first, second;
    first.start(TRAWLER_GUI_PATH, args);
    QVERIFY(first.waitForStarted());
    ui::SingleInstance probe(ui::InstanceName(FProfile->path()));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(probe.ServerPath()), 15000);
    second.start(TRAWLER_GUI_PATH, args + QStringList{file});
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitCode(), 0);
    const auto recent = [&] {
      platform::RegistryStore store(FProfile->path().toStdString());
      results::tUPResultsList catalogue(store);
      catalogue.Key = "\\software\\oxbow\\trawler\\mru";
      catalogue.LoadMru();
      return catalogue.Mru();
    };
    QTRY_COMPARE_WITH_TIMEOUT(recent(), std::vector<std::string>{file.toStdString()}, 15000);
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(15000));
  }
};

QTEST_MAIN(RecentFilesTest)
#include "recent_files_test.moc"
