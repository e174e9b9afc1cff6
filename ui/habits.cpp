#include "ui/habits.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace velmoran::ui {

namespace {
constexpr const char* kRecentKey = "recentFiles";
constexpr const char* kFolderKey = "lastFolder";
}  // namespace

THabits::THabits(std::unique_ptr<QSettings> store) : store_(std::move(store)) {}

QStringList THabits::RecentFiles() const {
  return store_->value(kRecentKey).toStringList();
}

void THabits::NoteFile(const QString& path) {
  const QFileInfo file(path);
  const QString full = file.absoluteFilePath();
  QStringList recent = RecentFiles();
  recent.removeAll(full);
  recent.prepend(full);
  while (recent.size() > kRecentFiles) recent.removeLast();
  store_->setValue(kRecentKey, recent);
  store_->setValue(kFolderKey, file.absolutePath());
}

void THabits::NoteFolder(const QString& path) {
  store_->setValue(kFolderKey, QFileInfo(path).absolutePath());
}

QString THabits::LastFolder() const {
  return store_->value(kFolderKey).toString();
}

QMenu* RecentFilesMenu(THabits* habits, QWidget* parent, std::function<void(const QString&)> open) {
  auto* menu = new QMenu("Open &recent", parent);
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, habits, open] {
    menu->clear();
    const QStringList files = habits ? habits->RecentFiles() : QStringList();
    int number = 1;
    for (const QString& path : files) {
      QAction* a =
          menu->addAction(QString("&%1 %2").arg(number++).arg(QDir::toNativeSeparators(path)));
      QObject::connect(a, &QAction::triggered, menu, [open, path] { open(path); });
    }
    if (files.isEmpty()) menu->addAction("(none)")->setEnabled(false);
  });
  return menu;
}

}  // namespace velmoran::ui
