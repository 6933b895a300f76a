#include "ui/result_view/result_view_host.h"

#include <QApplication>
#include <QMessageBox>

namespace trawler::ui {

bool ResultViewHost::AskYesNo(const QString& text, bool warning) {
    const QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    QWidget* parent = QApplication::activeWindow();
    const QMessageBox::StandardButton answer =
        warning ? QMessageBox::warning(parent, QStringLiteral("Trawler"), text, buttons)
                : QMessageBox::question(parent, QStringLiteral("Trawler"), text, buttons);
    return answer == QMessageBox::Yes;
}

}  // namespace trawler::ui
