// The boxes and dialogs the windows ask the user through.
//
// Every question a window puts to the user goes through `TDialogs`, so tests answer them with a
// scripted implementation while the program uses `TQtDialogs`, the toolkit's own boxes. An empty
// or absent answer always means Cancel.
#pragma once

#include <QFont>
#include <QMessageBox>
#include <QString>
#include <optional>

class QWidget;

namespace velmoran::ui {

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // "Save changes to %s?" with Yes, No and Cancel.
  virtual QMessageBox::StandardButton AskSaveChanges(QWidget* parent, const QString& text) = 0;
  // The open dialog; the chosen path, or empty on Cancel.
  virtual QString OpenFileName(QWidget* parent, const QString& folder) = 0;
  // The save dialog, which accepts new names; the chosen path, or empty on Cancel.
  virtual QString SaveFileName(QWidget* parent, const QString& proposed) = 0;
  // The save dialog for a picture, with its own filter ("SVG pictures (*.svg)"); the chosen path,
  // or empty on Cancel.
  virtual QString ExportFileName(QWidget* parent, const QString& proposed,
                                 const QString& filter) = 0;
  virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) = 0;
  // The DCF limit input box; std::nullopt on Cancel.
  virtual std::optional<QString> AskDcfLimit(QWidget* parent) = 0;
  virtual void Information(QWidget* parent, const QString& text) = 0;
  // A syntax error as "FILE:LINE:COLUMN: error CODE: MESSAGE", the line and a caret line under
  // the place; the last two lines are shown in a fixed-pitch face, so the caret stands under it.
  // Shown as any information where no face is chosen.
  virtual void SyntaxError(QWidget* parent, const QString& text) { Information(parent, text); }
  // A failure the user must see (a file that cannot be read or written, a number that is none).
  virtual void Error(QWidget* parent, const QString& text) = 0;
};

class TQtDialogs : public TDialogs {
 public:
  QMessageBox::StandardButton AskSaveChanges(QWidget* parent, const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& folder) override;
  QString SaveFileName(QWidget* parent, const QString& proposed) override;
  QString ExportFileName(QWidget* parent, const QString& proposed, const QString& filter) override;
  std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override;
  std::optional<QString> AskDcfLimit(QWidget* parent) override;
  void Information(QWidget* parent, const QString& text) override;
  void SyntaxError(QWidget* parent, const QString& text) override;
  void Error(QWidget* parent, const QString& text) override;
};

// The filter of the open and save dialogs.
inline constexpr const char* kTheoryFileFilter = "Plain text files (*.txt);;All files (*)";

}  // namespace velmoran::ui
