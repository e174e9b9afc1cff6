// Dialogs answered by the test: each question takes the next scripted answer (Cancel when none is
// left) and is recorded, so a test checks both what was asked and what followed.
#pragma once

#include <QStringList>
#include <deque>

#include "ui/dialogs.h"

namespace velmoran::ui::test {

class TScriptedDialogs : public TDialogs {
 public:
  std::deque<QMessageBox::StandardButton> SaveChangesAnswers;
  std::deque<QString> FileNames;   // answers of the open and save dialogs; "" is Cancel
  std::deque<QString> DcfAnswers;  // a null string is Cancel
  std::optional<QFont> FontAnswer;
  QStringList Asked;  // every question and box, in order, as "kind: text"

  QMessageBox::StandardButton AskSaveChanges(QWidget*, const QString& text) override {
    Asked << "save changes: " + text;
    return Take(SaveChangesAnswers, QMessageBox::Cancel);
  }
  QString OpenFileName(QWidget*, const QString& folder) override {
    Asked << "open: " + folder;
    return Take(FileNames, QString());
  }
  QString SaveFileName(QWidget*, const QString& proposed) override {
    Asked << "save as: " + proposed;
    return Take(FileNames, QString());
  }
  QString ExportFileName(QWidget*, const QString& proposed, const QString& filter) override {
    Asked << "export: " + proposed + " (" + filter + ")";
    return Take(FileNames, QString());
  }
  std::optional<QFont> ChooseFont(QWidget*, const QFont& initial) override {
    Asked << "font: " + initial.family();
    return FontAnswer;
  }
  std::optional<QString> AskDcfLimit(QWidget*) override {
    Asked << "dcf limit";
    QString answer = Take(DcfAnswers, QString());
    if (answer.isNull()) return std::nullopt;
    return answer;
  }
  void Information(QWidget*, const QString& text) override { Asked << "information: " + text; }
  void SyntaxError(QWidget*, const QString& text) override { Asked << "syntax error: " + text; }
  void Error(QWidget*, const QString& text) override { Asked << "error: " + text; }

 private:
  template <typename T>
  static T Take(std::deque<T>& answers, T none) {
    if (answers.empty()) return none;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace velmoran::ui::test
