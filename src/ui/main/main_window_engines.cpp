// The Engines tab's context menu: Play, Pause and Stop of one engine, Repeat last search
// step, Open and Copy of the engine's last request address.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QUrl>

#include "core/engine_list.h"
#include "core/mainwin/engine_menu.h"
#include "ui/main/main_window.h"
#include "ui_main_window.h"

namespace trawler::ui {

void TfrmMain::CreateEnginesMenu() {
  pmEngines = new QMenu(this);
  pmEngines->setObjectName("pmEngines");
  FEngineGroup = new QActionGroup(this);
  const struct {
    const char *name;
    int tag;
    QKeySequence key;
  } entries[] = {{"miEnginePlay", 382, Qt::Key_Insert},
                 {"miEnginePause", 383, {}},
                 {"miEngineStop", 384, Qt::Key_Delete},
                 {"-", 0, {}},
                 {"miEngineRepeat", 373, {}},
                 {"-", 0, {}},
                 {"miEngineOpen", 149, Qt::Key_Return},
                 {"miEngineCopy", 150, {}}};
  for (const auto &entry : entries) {
    if (entry.name[0] == '-') {
      pmEngines->addSeparator();
      continue;
    }
    QAction *action = pmEngines->addAction(QString());
    action->setObjectName(entry.name);
    action->setProperty("tag", entry.tag);
    action->setShortcut(entry.key);
    action->setShortcutContext(Qt::WidgetShortcut);
    ui->lvSearch->addAction(action);
    const QString command = entry.name;
    if (command == "miEnginePlay" || command == "miEnginePause" || command == "miEngineStop") {
      action->setCheckable(true);
      FEngineGroup->addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, command] { EngineCommand(command); });
  }
  pmEngines->setDefaultAction(pmEngines->findChild<QAction *>("miEngineOpen"));
  connect(ui->lvSearch, &QWidget::customContextMenuRequested, this,
          [this](const QPoint &pos) { ShowEnginesMenu(pos); });
  connect(ui->lvSearch, &QAbstractItemView::doubleClicked, this,
          [this] { EngineCommand(QStringLiteral("miEngineOpen")); });
}

namespace {

int SelectedRow(const QTableView *view) {
  const QModelIndex current = view->currentIndex();
  return current.isValid() ? current.row() : -1;
}

}  // namespace

void TfrmMain::ShowEnginesMenu(const QPoint &pos) {
  const int row = SelectedRow(ui->lvSearch);
  core::TEngine *engine = FEngineRows.EngineAt(row);
  mainwin::EngineMenuInputs in;
  in.Linked = engine != nullptr;
  if (engine) {
    in.Picture = FEngineRows.Row(row).Picture;
    in.HasLastUrl = !engine->LastUrl.empty();
    in.CanRepeat = FEngines->CanRepeat(*engine);
  }
  const mainwin::EngineMenuState m = mainwin::EngineMenuFor(in);
  auto set = [this](const char *name, bool checked, bool enabled) {
    QAction *action = pmEngines->findChild<QAction *>(name);
    action->setChecked(checked);
    action->setEnabled(enabled);
  };
  FEngineGroup->setExclusive(false);  // the group may show none checked
  set("miEnginePlay", m.PlayChecked, m.PlayEnabled);
  set("miEnginePause", m.PauseChecked, m.PauseEnabled);
  set("miEngineStop", m.StopChecked, m.StopEnabled);
  FEngineGroup->setExclusive(true);
  set("miEngineRepeat", false, m.RepeatEnabled);
  set("miEngineOpen", false, m.OpenEnabled);
  set("miEngineCopy", false, m.CopyEnabled);
  pmEngines->popup(ui->lvSearch->viewport()->mapToGlobal(pos));
}

void TfrmMain::EngineCommand(const QString &command) {
  const int row = SelectedRow(ui->lvSearch);
  core::TEngine *engine = FEngineRows.EngineAt(row);
  if (!engine) return;  // the row's engine was replaced by a site list reload
  const int picture = FEngineRows.Row(row).Picture;
  core::TEngineList &list = *FEngines;
  if (command == "miEnginePlay") {
    if ((picture == 0 || picture == 2) && engine->Active && (engine->Suspended || engine->Ready))
      list.ResumeEngine(*engine);
  } else if (command == "miEnginePause") {
    if ((picture == 0 || picture == 1) && engine->Active && !engine->Suspended)
      list.SetSuspendRequest(*engine, true);
  } else if (command == "miEngineStop") {
    if (picture <= 2 && engine->Active) {
      list.StopEngine(*engine);
      list.Schedule(nullptr);
    }
  } else if (command == "miEngineRepeat") {
    if (picture > 2 && list.CanRepeat(*engine)) list.RepeatLastRequest(*engine);
  } else if (command == "miEngineOpen") {
    OpenUrl("", engine->LastUrl);
  } else if (command == "miEngineCopy") {
    if (engine->LastUrl.empty()) return;
    auto *data = new QMimeData;
    data->setUrls({QUrl(QString::fromStdString(engine->LastUrl))});
    data->setText(QString::fromStdString(engine->LastUrl));
    data->setData(QStringLiteral("text/x-moz-url"),
                  (QString::fromStdString(engine->LastUrl) + '\n' + QString::fromStdString(engine->Caption))
                      .toUtf8());
    QApplication::clipboard()->setMimeData(data);
  }
}

}  // namespace trawler::ui
