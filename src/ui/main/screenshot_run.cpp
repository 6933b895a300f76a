#include "ui/main/screenshot_run.h"

#include <QAction>
#include <QComboBox>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "ui/main/main_window.h"

namespace trawler::ui {

namespace {
constexpr int kPollMs = 200;
}

ScreenshotRun::ScreenshotRun(TfrmMain &window, QString file, QString query, QString tab)
    : FWindow(window), FFile(std::move(file)), FQuery(std::move(query)),
      FTab(std::move(tab)) {}

void ScreenshotRun::Start() {
  // Without a window manager a maximised window keeps its first size: fill the screen.
  if (const QScreen *screen = FWindow.screen()) {
    FWindow.setWindowState(Qt::WindowNoState);
    FWindow.setGeometry(screen->availableGeometry());
  }
  // Give the window-shown steps (and the splash) their turn first.
  QTimer::singleShot(800, this, [this] {
    if (auto *query = FWindow.findChild<QComboBox *>("edtQuery")) query->setEditText(FQuery);
    FWindow.Action("aSearch")->trigger();
    QTimer::singleShot(kPollMs, this, [this] { Poll(); });
  });
}

void ScreenshotRun::Poll() {
  FWaitedMs += kPollMs;
  if (FWindow.State() != mainwin::SearchState::Idle) FSearchSeen = true;
  if ((FSearchSeen && FWindow.State() == mainwin::SearchState::Idle) || FWaitedMs > kTimeoutMs) {
    Capture();
    return;
  }
  QTimer::singleShot(kPollMs, this, [this] { Poll(); });
}

void ScreenshotRun::Capture() {
  auto *pages = FWindow.findChild<QTabWidget *>("pc");
  const QString page = FTab == "search" ? "tbs1" : FTab == "engines" ? "tbs2" : FTab == "properties" ? "tbs4" : "";
  if (pages && !page.isEmpty())
    if (auto *tab = pages->findChild<QWidget *>(page)) pages->setCurrentWidget(tab);
  if (auto *view = FWindow.findChild<QTableView *>("lvExt"); view && view->model() &&
                                                             view->model()->rowCount() > 0)
    view->selectRow(0);
  // Let the page and the selection paint before the picture is taken.
  QTimer::singleShot(500, this, [this] {
    const bool saved = FWindow.grab().save(FFile);
    emit Finished(saved);
  });
}

}  // namespace trawler::ui
