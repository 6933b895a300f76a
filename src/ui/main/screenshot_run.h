#pragma once
// A picture of the window after a search, for the documentation: once the window is up,
// search for a query, wait until the search ends, show the chosen page, save the window's
// picture and close.

#include <QObject>
#include <QString>

namespace trawler::ui {

class TfrmMain;

class ScreenshotRun : public QObject {
  Q_OBJECT
 public:
  static constexpr int kTimeoutMs = 60000;

  // tab: "search", "engines", "properties" or empty (the page the search leaves in front).
  ScreenshotRun(TfrmMain &window, QString file, QString query, QString tab);
  void Start();

 signals:
  void Finished(bool saved);

 private:
  void Poll();
  void Capture();

  TfrmMain &FWindow;
  QString FFile, FQuery, FTab;
  int FWaitedMs = 0;
  bool FSearchSeen = false;
};

}  // namespace trawler::ui
