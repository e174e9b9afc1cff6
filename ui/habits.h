// What the program remembers of its user from one run to the next: the theory files opened or
// saved last and the folder the file dialogs start in.
//
// These are the program's own habits, not options of a proof nor part of a theory, so they live
// in the toolkit's settings store (the platform's usual place for a desktop program's per-user
// state) rather than in the engine or beside the theories. A test hands in a store of its own.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace velmoran::ui {

class THabits {
 public:
  explicit THabits(std::unique_ptr<QSettings> store);

  // Newest first, at most `kRecentFiles`.
  QStringList RecentFiles() const;
  // A file was opened or saved: it goes first in the recent files, and its folder is where the
  // dialogs start next.
  void NoteFile(const QString& path);
  // A file that is no theory (an exported picture) was written: the dialogs start in its folder
  // next, and the recent files stay theories.
  void NoteFolder(const QString& path);
  // The folder of the file noted last; empty before any.
  QString LastFolder() const;

  static constexpr int kRecentFiles = 8;

 private:
  std::unique_ptr<QSettings> store_;
};

// The "Open &recent" submenu: filled from `habits` each time it opens (the list may have changed
// in another window); choosing a file calls `open` with its path.
QMenu* RecentFilesMenu(THabits* habits, QWidget* parent, std::function<void(const QString&)> open);

}  // namespace velmoran::ui
