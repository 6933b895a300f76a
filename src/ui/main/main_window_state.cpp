// The window state kept between runs: placement and a few checked states under
// "Software\Oxbow\Trawler\Main", the toolbar layout under "...\Toolbars" (in Qt's own
// format, as binary values).
#include <QAction>
#include <QActionGroup>
#include <QByteArray>
#include <QColor>
#include <QTabWidget>

#include <vector>

#include "platform/registry.h"
#include "support/quickmenu/quick_menu.h"
#include "ui/main/main_window.h"
#include "ui/result_view/result_view.h"
#include "ui_main_window.h"

namespace trawler::ui {

namespace {

constexpr std::string_view kMainKey = "\\Software\\Oxbow\\Trawler\\Main";
constexpr std::string_view kToolbarsKey = "\\Software\\Oxbow\\Trawler\\Toolbars";
// The checked states the window keeps (of the commands this window offers).
constexpr const char *kCheckedActions[] = {"aPanelFile", "aPanelHelp", "aPanelSearch",
                                           "aPanelFilters"};
// The same for the result view's web-view menu.
constexpr const char *kViewChecked[] = {"d1", "d2", "d3", "miRL"};

QByteArray ToBytes(const std::optional<std::vector<std::uint8_t>> &value) {
  if (!value) return {};
  return QByteArray(reinterpret_cast<const char *>(value->data()), static_cast<qsizetype>(value->size()));
}

std::vector<std::uint8_t> FromBytes(const QByteArray &bytes) {
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace

void TfrmMain::RestoreWindowState() {
  platform::RegKey key(*FStore);
  if (!key.OpenKey(kMainKey, false)) {
    setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
  const QByteArray placement = ToBytes(key.ReadBinary("Placement"));
  if (placement.isEmpty() || !restoreGeometry(placement))
    setWindowState(windowState() | Qt::WindowMaximized);
  for (const char *name : kCheckedActions)
    if (const auto on = key.ReadBool(std::string(name) + ".Checked")) Action(name)->setChecked(*on);
  if (const auto page = key.ReadString("pc.ActivePage"))
    if (auto *tab = ui->pc->findChild<QWidget *>(QString::fromStdString(*page)))
      ui->pc->setCurrentWidget(tab);
  // The web-view menu's decoding and transliteration entries, and the preview's colours.
  for (const char *name : kViewChecked)
    if (const auto on = key.ReadBool(std::string(name) + ".Checked"))
      if (QAction *action = FView->Action(name)) action->setChecked(*on);
  const auto background = key.ReadInteger("hl.DefBackground");
  const auto fontColor = key.ReadInteger("hl.DefFontColor");
  if (background && fontColor)
    FView->SetPreviewColors(QColor::fromRgb(static_cast<QRgb>(*background)),
                            QColor::fromRgb(static_cast<QRgb>(*fontColor)));
  if (const auto sort = key.ReadInteger("qml.SortType"); sort && FQuickMenu)
    FQuickMenu->SetSortType(*sort == quickmenu::qmsCategory ? quickmenu::qmsCategory
                                                            : quickmenu::qmsTitle);
}

void TfrmMain::SaveWindowState() {
  platform::RegistryBatch batch(*FStore);
  platform::RegKey key(*FStore);
  if (!key.OpenKey(kMainKey, true)) return;
  key.WriteBinary("Placement", FromBytes(saveGeometry()));
  for (const char *name : kCheckedActions)
    key.WriteBool(std::string(name) + ".Checked", Action(name)->isChecked());
  key.WriteString("pc.ActivePage", ui->pc->currentWidget()->objectName().toStdString());
  if (FQuickMenu) key.WriteInteger("qml.SortType", FQuickMenu->SortType());
  if (FView) {
    for (const char *name : kViewChecked)
      if (QAction *action = FView->Action(name))
        key.WriteBool(std::string(name) + ".Checked", action->isChecked());
    key.WriteInteger("hl.DefBackground", static_cast<std::int32_t>(FView->PreviewBackground().rgb()));
    key.WriteInteger("hl.DefFontColor", static_cast<std::int32_t>(FView->PreviewFontColor().rgb()));
  }
  batch.Commit();
}

void TfrmMain::RestoreToolbarLayout() {
  platform::RegKey key(*FStore);
  if (!key.OpenKey(kToolbarsKey, false)) return;
  const QByteArray state = ToBytes(key.ReadBinary("State"));
  if (!state.isEmpty()) restoreState(state);
}

void TfrmMain::SaveToolbarLayout() {
  platform::RegKey key(*FStore);
  if (key.OpenKey(kToolbarsKey, true)) key.WriteBinary("State", FromBytes(saveState()));
}

}  // namespace trawler::ui
