#pragma once
// TfrmSplash: the small window shown while the program starts, with a status line that
// the start-up steps write into. A 500 ms timer closes it once the main window is shown.

#include <QWidget>

class QLabel;
class QTimer;

namespace trawler::ui {

class TfrmSplash : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kCloseDelayMs = 500;

  TfrmSplash();
  // Shows the text and paints it at once (the message loop is not running yet).
  void SetStatus(const QString &text);
  QString Status() const;
  void StartCloseTimer();

 private:
  QLabel *FStatus;
  QTimer *FCloseTimer;
};

}  // namespace trawler::ui
