#pragma once
// The questions and notices the main window puts to the user. The program answers them
// with message boxes; window tests give the window an Asker with scripted answers.

#include <QMessageBox>
#include <QString>

#include <deque>
#include <vector>

class QWidget;

namespace trawler::ui {

class Asker {
 public:
  enum Kind { Information, Warning, Error, Confirmation };
  virtual ~Asker() = default;
  // Returns the button pressed (QMessageBox::Cancel when the question was dismissed).
  virtual QMessageBox::StandardButton Ask(QWidget *parent, Kind kind, const QString &text,
                                          QMessageBox::StandardButtons buttons) = 0;
  // The file to save a result set to; empty when the user cancelled.
  virtual QString AskSaveFile(QWidget *parent, const QString &folder, const QString &filter) = 0;
  // The file to open; empty when the user cancelled.
  virtual QString AskOpenFile(QWidget *parent, const QString &title, const QString &folder,
                              const QString &filter) = 0;
};

class MessageBoxAsker : public Asker {
 public:
  QMessageBox::StandardButton Ask(QWidget *parent, Kind kind, const QString &text,
                                  QMessageBox::StandardButtons buttons) override;
  QString AskSaveFile(QWidget *parent, const QString &folder, const QString &filter) override;
  QString AskOpenFile(QWidget *parent, const QString &title, const QString &folder,
                      const QString &filter) override;
};

// Answers from a queue; an empty queue answers with Default, else the first button offered. Every
// question is recorded.
class ScriptedAsker : public Asker {
 public:
  struct Question {
    Kind kind;
    QString text;
  };
  std::deque<QMessageBox::StandardButton> Answers;
  // The answer when the queue is empty, when it is one of the buttons offered.
  QMessageBox::StandardButton Default = QMessageBox::NoButton;
  std::vector<Question> Asked;
  // The answer to a save-file question (empty: cancelled).
  QString SaveFile;
  // The answer to an open-file question (empty: cancelled).
  QString OpenFile;

  QMessageBox::StandardButton Ask(QWidget *parent, Kind kind, const QString &text,
                                  QMessageBox::StandardButtons buttons) override;
  QString AskSaveFile(QWidget *parent, const QString &folder, const QString &filter) override;
  QString AskOpenFile(QWidget *parent, const QString &title, const QString &folder,
                      const QString &filter) override;
};

}  // namespace trawler::ui
