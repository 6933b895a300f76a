#include "ui/main/quick_menu_adapter.h"

#include <QAction>
#include <QMenu>

namespace trawler::ui {

QuickMenuAdapter::~QuickMenuAdapter() = default;  // the menu owns its actions

void QuickMenuAdapter::ClearItems() {
  for (auto &[id, action] : FItems) delete action;
  for (auto &[id, action] : FBreaks) delete action;
  FItems.clear();
  FBreaks.clear();
}

int QuickMenuAdapter::AddItem(const std::string &caption, bool newColumn,
                              std::function<void()> onClick) {
  const int id = FNextId++;
  if (newColumn && !FItems.empty()) FBreaks[id] = FMenu.addSeparator();
  QAction *action = FMenu.addAction(QString::fromStdString(caption));
  QObject::connect(action, &QAction::triggered, action, [onClick = std::move(onClick)] {
    if (onClick) onClick();
  });
  FItems[id] = action;
  return id;
}

void QuickMenuAdapter::SetItemCaption(int id, const std::string &caption) {
  if (auto it = FItems.find(id); it != FItems.end())
    it->second->setText(QString::fromStdString(caption));
}

void QuickMenuAdapter::RemoveItem(int id) {
  if (auto it = FItems.find(id); it != FItems.end()) {
    delete it->second;
    FItems.erase(it);
  }
  if (auto it = FBreaks.find(id); it != FBreaks.end()) {
    delete it->second;
    FBreaks.erase(it);
  }
}

void QuickMenuAdapter::SetEnabled(bool on) { FMenu.setEnabled(on); }

}  // namespace trawler::ui
