#include "ui/main/asker.h"

#include <QFileDialog>

namespace trawler::ui {

QMessageBox::StandardButton MessageBoxAsker::Ask(QWidget *parent, Kind kind, const QString &text,
                                                 QMessageBox::StandardButtons buttons) {
  const QString title = QStringLiteral("Trawler");
  switch (kind) {
    case Information: return QMessageBox::information(parent, title, text, buttons);
    case Warning: return QMessageBox::warning(parent, title, text, buttons);
    case Error: return QMessageBox::critical(parent, title, text, buttons);
    case Confirmation: return QMessageBox::question(parent, title, text, buttons);
  }
  return QMessageBox::Cancel;
}

QString MessageBoxAsker::AskSaveFile(QWidget *parent, const QString &folder, const QString &filter) {
  return QFileDialog::getSaveFileName(parent, QString(), folder, filter);
}

QString MessageBoxAsker::AskOpenFile(QWidget *parent, const QString &title, const QString &folder,
                                     const QString &filter) {
  return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString ScriptedAsker::AskOpenFile(QWidget *, const QString &, const QString &, const QString &) {
  Asked.push_back({Confirmation, QStringLiteral("open file")});
  return OpenFile;
}

QString ScriptedAsker::AskSaveFile(QWidget *, const QString &, const QString &) {
  Asked.push_back({Confirmation, QStringLiteral("save file")});
  return SaveFile;
}

QMessageBox::StandardButton ScriptedAsker::Ask(QWidget *, Kind kind, const QString &text,
                                               QMessageBox::StandardButtons buttons) {
  Asked.push_back({kind, text});
  if (!Answers.empty()) {
    const QMessageBox::StandardButton answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  if (Default != QMessageBox::NoButton && buttons.testFlag(Default)) return Default;
  for (unsigned bit = 1; bit != 0; bit <<= 1)
    if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(bit)))
      return static_cast<QMessageBox::StandardButton>(bit);
  return QMessageBox::Cancel;
}

}  // namespace trawler::ui
