// The status bar: hints and operation texts, the online, search and link-checker
// pictures, the number of rows in the result view and the progress of long operations.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "results/list_search_bot.h"
#include "ui/main/main_window.h"
#include "ui/pictures/pictures.h"
#include "ui_main_window.h"

namespace trawler::ui {

namespace {

constexpr int kPictureSize = 16;

QLabel *PicturePanel(QWidget *parent, const char *name) {
  auto *label = new QLabel(parent);
  label->setObjectName(name);
  label->setFixedWidth(kPictureSize + 8);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

void TfrmMain::CreateStatusBar() {
  QStatusBar *bar = ui->sb;
  FPanelHint = new QLabel(bar);
  FPanelHint->setObjectName("sbHint");
  FPanelOnline = PicturePanel(bar, "sbOnline");
  FPanelSearch = PicturePanel(bar, "sbSearch");
  FPanelChecker = PicturePanel(bar, "sbChecker");
  FPanelRows = new QLabel(QStringLiteral("0"), bar);
  FPanelRows->setObjectName("sbRows");
  FPanelRows->setAlignment(Qt::AlignCenter);
  FPanelRows->setMinimumWidth(48);
  FPanelProgress = new QProgressBar(bar);
  FPanelProgress->setObjectName("sbProgress");
  FPanelProgress->setMaximumWidth(120);
  FPanelProgress->setTextVisible(false);
  FPanelProgress->setVisible(false);
  bar->addWidget(FPanelHint, 1);
  bar->addPermanentWidget(FPanelOnline);
  bar->addPermanentWidget(FPanelSearch);
  bar->addPermanentWidget(FPanelChecker);
  bar->addPermanentWidget(FPanelRows);
  bar->addPermanentWidget(FPanelProgress);
  // Hints of menu entries and buttons under the mouse show over panel 0 as the status
  // bar's passing messages.
  RepaintStatusBar();
}

void TfrmMain::RepaintStatusBar() {
  if (!FPanelOnline) return;
  const auto picture = [](int n) { return pictures::StatusPicture(n).pixmap(kPictureSize, kPictureSize); };
  FPanelOnline->setPixmap(picture(IsOnline() ? 3 : 4));
  FPanelSearch->setPixmap(picture(FState == mainwin::SearchState::Idle ? 2 : 0));
  const bool checking = FChecker && !FChecker->Queue().empty();
  FPanelChecker->setPixmap(picture(checking ? 5 : 6));
  FPanelChecker->setProperty("busy", checking);
  FPanelSearch->setProperty("busy", FState != mainwin::SearchState::Idle);
}

void TfrmMain::ShowStatusText(const QString &text) { FPanelHint->setText(text); }

void TfrmMain::ShowRowCount(int rows) { FPanelRows->setText(QString::number(rows)); }

void TfrmMain::ShowProgress(int position, int maximum) {
  if (FPanelProgress->maximum() != maximum) FPanelProgress->setMaximum(maximum);
  FPanelProgress->setValue(position);
  FPanelProgress->setVisible(maximum > 0 && position < maximum);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmMain::resizeEvent(QResizeEvent *event) {
  QMainWindow::resizeEvent(event);
  if (FPanelHint) FPanelHint->setMaximumWidth(qMax(0, ui->sb->width() - 120));
}

}  // namespace trawler::ui
