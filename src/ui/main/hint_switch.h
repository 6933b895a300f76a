#pragma once
// Hints (tool tips) on or off for every window of the program, as the ShowHints setting
// says: while off, tool tip requests are swallowed before any widget sees them.

#include <QObject>

namespace trawler::ui {

class HintSwitch : public QObject {
  Q_OBJECT
 public:
  explicit HintSwitch(QObject *parent = nullptr);
  ~HintSwitch() override;
  void SetShowHints(bool on) { FShow = on; }
  bool ShowHints() const { return FShow; }

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  bool FShow = true;
};

}  // namespace trawler::ui
