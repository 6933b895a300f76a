#pragma once
// The quick templates' menu interface over a QMenu: the items the template list adds,
// with column breaks shown as a new section (Qt menus have no vertical bar break, so a
// column break becomes a separator).

#include <QObject>

#include <map>

#include "support/quickmenu/quick_menu.h"

class QAction;
class QMenu;

namespace trawler::ui {

class QuickMenuAdapter : public quickmenu::tQMMenu {
 public:
  explicit QuickMenuAdapter(QMenu &menu) : FMenu(menu) {}
  ~QuickMenuAdapter() override;

  void ClearItems() override;
  int AddItem(const std::string &caption, bool newColumn, std::function<void()> onClick) override;
  void SetItemCaption(int id, const std::string &caption) override;
  void RemoveItem(int id) override;

  void SetEnabled(bool on);

 private:
  QMenu &FMenu;
  int FNextId = 1;
  std::map<int, QAction *> FItems;
  std::map<int, QAction *> FBreaks;
};

}  // namespace trawler::ui
