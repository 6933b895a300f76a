#include "ui/main/hint_switch.h"

#include <QCoreApplication>
#include <QEvent>

namespace trawler::ui {

HintSwitch::HintSwitch(QObject *parent) : QObject(parent) {
  if (QCoreApplication *app = QCoreApplication::instance()) app->installEventFilter(this);
}

HintSwitch::~HintSwitch() {
  if (QCoreApplication *app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool HintSwitch::eventFilter(QObject *watched, QEvent *event) {
  if (!FShow && event->type() == QEvent::ToolTip) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace trawler::ui
