#include "ui/frame_form.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

#include "ui/about_box.h"
#include "ui/dialogs.h"
#include "ui/edit_form.h"
#include "ui/habits.h"

namespace velmoran::ui {

TFrameForm::TFrameForm(TAppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
  setWindowTitle("Velmoran");
  QFont own = font();
  own.setFamily("MS Sans Serif");
  setFont(own);
  SetDefaultGeometry();
  area_ = new QMdiArea(this);
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(area_);
  connect(area_, &QMdiArea::subWindowActivated, this, &TFrameForm::RebuildMenuBar);
  CreateMenus();
  RebuildMenuBar(nullptr);
  statusBar();
  about_ = new TAboutBox(this);
  about_->hide();
}

TFrameForm::~TFrameForm() {
  // The base destructor closes the windows that are still open, and the area then reports no
  // active window: the menu bar must not be rebuilt on a frame that is half gone.
  disconnect(area_, nullptr, this, nullptr);
}

void TFrameForm::SetDefaultGeometry() {
  // Four tiled editor windows each show their whole tool bar at the default size, which fits a
  // 1366 x 768 screen. On a smaller screen the frame takes what there is; it starts where it always
  // did unless that would push it off the screen.
  QRect frame(QPoint(175, 105), kDefaultSize);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect available = screen->availableGeometry();
    // Room for the window manager's title bar and borders.
    const QSize decoration(16, 40);
    frame.setSize(kDefaultSize.boundedTo(available.size() - decoration));
    const QSize decorated = frame.size() + decoration;
    frame.moveLeft(std::max(available.left(),
                            std::min(frame.left(), available.right() + 1 - decorated.width())));
    frame.moveTop(std::max(available.top(),
                           std::min(frame.top(), available.bottom() + 1 - decorated.height())));
  }
  setGeometry(frame);
}

void TFrameForm::CreateMenus() {
  fileMenu_ = new QMenu("&File", this);
  QAction* newWindow = fileMenu_->addAction("&New");
  newWindow->setShortcuts(QKeySequence::New);
  connect(newWindow, &QAction::triggered, this, &TFrameForm::NewEditor);
  QAction* open = fileMenu_->addAction("&Open...");
  open->setShortcuts(QKeySequence::Open);
  connect(open, &QAction::triggered, this, &TFrameForm::OpenTheory);
  fileMenu_->addMenu(
      RecentFilesMenu(context_.Habits, this, [this](const QString& path) { OpenPath(path); }));
  fileMenu_->addSeparator();
  connect(fileMenu_->addAction("E&xit"), &QAction::triggered, this, &QWidget::close);

  windowMenu_ = new QMenu("&Window", this);
  connect(windowMenu_, &QMenu::aboutToShow, this, &TFrameForm::UpdateWindowMenu);
  UpdateWindowMenu();

  helpMenu_ = new QMenu("&Help", this);
  connect(helpMenu_->addAction("About..."), &QAction::triggered, this, [this] {
    about_->show();
    about_->raise();
  });
}

void TFrameForm::UpdateWindowMenu() {
  windowMenu_->clear();
  connect(windowMenu_->addAction("&Tile"), &QAction::triggered, area_, &QMdiArea::tileSubWindows);
  connect(windowMenu_->addAction("&Cascade"), &QAction::triggered, area_,
          &QMdiArea::cascadeSubWindows);
  connect(windowMenu_->addAction("&Arrange icons"), &QAction::triggered, this,
          &TFrameForm::ArrangeIcons);
  const QList<QMdiSubWindow*> windows = area_->subWindowList();
  if (!windows.isEmpty()) windowMenu_->addSeparator();
  int number = 1;
  for (QMdiSubWindow* window : windows) {
    // The title as the window shows it: its "[*]" is the mark of unsaved changes.
    QString title = window->windowTitle();
    title.replace("[*]", window->isWindowModified() ? "*" : "");
    QString caption = number < 10 ? QString("&%1 %2").arg(number).arg(title)
                                  : QString("%1 %2").arg(number).arg(title);
    ++number;
    QAction* a = windowMenu_->addAction(caption);
    a->setCheckable(true);
    a->setChecked(window == area_->activeSubWindow());
    connect(a, &QAction::triggered, this, [this, window] { area_->setActiveSubWindow(window); });
  }
}

void TFrameForm::RebuildMenuBar(QMdiSubWindow* active) {
  QMenuBar* bar = menuBar();
  bar->clear();
  auto* editor = active ? qobject_cast<TEditForm*>(active->widget()) : nullptr;
  if (editor) {
    for (QMenu* menu : editor->Menus()) bar->addMenu(menu);
    editor->Activate();
  } else {
    bar->addMenu(fileMenu_);
  }
  bar->addMenu(windowMenu_);
  bar->addMenu(helpMenu_);
}

TEditForm* TFrameForm::NewEditor() {
  auto* editor = new TEditForm(context_);
  connect(editor, &TEditForm::NewRequested, this, &TFrameForm::NewEditor);
  connect(editor, &TEditForm::OpenRequested, this, &TFrameForm::OpenTheory);
  connect(editor, &TEditForm::OpenPathRequested, this, &TFrameForm::OpenPath);
  connect(editor, &TEditForm::ExitRequested, this, &QWidget::close);
  connect(editor, &TEditForm::StatusMessage, this, [this](const QString& text) {
    LogShown(context_, "status", text);
    statusBar()->showMessage(text, 10000);
  });
  QMdiSubWindow* window = area_->addSubWindow(editor);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // Every window's own menu binds the close keys in the whole frame, so with two windows open the
  // keys are ambiguous and close none: the active window's "&Close" takes them instead.
  if (QMenu* system = window->systemMenu())
    for (QAction* a : system->actions())
      for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Close))
        if (a->shortcuts().contains(key)) a->setShortcuts({});
  window->showMaximized();
  area_->setActiveSubWindow(window);
  return editor;
}

void TFrameForm::OpenTheory() {
  // The dialog starts where the user opened or saved a theory last.
  QString folder = context_.Habits ? context_.Habits->LastFolder() : QString();
  if (folder.isEmpty()) folder = context_.ProgramFolder;
  QString path = context_.Dialogs.OpenFileName(this, folder);
  if (!path.isEmpty()) OpenPath(path);
}

TEditForm* TFrameForm::OpenPath(const QString& path) {
  // A theory already open comes to the front: two windows editing one file would overwrite each
  // other's saves.
  const QFileInfo wanted(path);
  for (QMdiSubWindow* window : area_->subWindowList()) {
    auto* open = qobject_cast<TEditForm*>(window->widget());
    if (!open || open->FileName() == "Untitled" || QFileInfo(open->FileName()) != wanted) continue;
    if (window->isMinimized()) window->showNormal();
    area_->setActiveSubWindow(window);
    return open;
  }
  TEditForm* editor = NewEditor();
  editor->OpenFile(path);
  return editor;
}

TEditForm* TFrameForm::ActiveEditor() const {
  QMdiSubWindow* active = area_->activeSubWindow();
  return active ? qobject_cast<TEditForm*>(active->widget()) : nullptr;
}

QList<TEditForm*> TFrameForm::Editors() const {
  QList<TEditForm*> editors;
  for (QMdiSubWindow* window : area_->subWindowList())
    if (auto* editor = qobject_cast<TEditForm*>(window->widget())) editors.append(editor);
  return editors;
}

void TFrameForm::ArrangeIcons() {
  // Minimized windows line up along the bottom of the frame's client area, left to right.
  int x = 0;
  const int bottom = area_->viewport()->height();
  for (QMdiSubWindow* window : area_->subWindowList()) {
    if (!window->isMinimized()) continue;
    QSize size = window->size();
    window->move(x, bottom - size.height());
    x += size.width();
  }
}

void TFrameForm::closeEvent(QCloseEvent* event) {
  // Every window asks before any closes: the first Cancel keeps them all open, even those whose
  // answer was already No.
  const QList<TEditForm*> editors = Editors();
  for (TEditForm* editor : editors) {
    if (!editor->QueryClose()) {
      // The answers given so far were for leaving: a later close of one window asks again.
      for (TEditForm* asked : editors) asked->ForgetCloseAnswer();
      event->ignore();
      return;
    }
  }
  area_->closeAllSubWindows();
  event->accept();
}

}  // namespace velmoran::ui
