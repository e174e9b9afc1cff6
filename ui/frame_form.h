// The frame window: the multiple-document main window that holds the theory editor windows.
//
// The frame has its own "&File", "&Window" and "&Help" menus. While an editor window is active,
// the menu bar is rebuilt from that window's menus ("&File", "&Edit", "&Output",
// "&Prove theorem", "&Unification") followed by the frame's "&Window" and "&Help". Leaving the
// program runs every editor window's close query in turn; the first Cancel keeps it running.
#pragma once

#include <QMainWindow>
#include <QSize>

#include "ui/app_context.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace velmoran::ui {

class TAboutBox;
class TEditForm;

class TFrameForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFrameForm(TAppContext& context, QWidget* parent = nullptr);
  ~TFrameForm() override;

  TEditForm* NewEditor();
  // The open dialog; every file chosen opens in a new window.
  void OpenTheory();
  // Opens a theory in a new window, or brings the window that has it open to the front.
  TEditForm* OpenPath(const QString& path);
  TEditForm* ActiveEditor() const;
  QList<TEditForm*> Editors() const;
  QMdiArea* Area() const { return area_; }
  TAboutBox* AboutBox() const { return about_; }
  void ArrangeIcons();
  static constexpr QSize kDefaultSize{1100, 640};

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetDefaultGeometry();
  void CreateMenus();
  void RebuildMenuBar(QMdiSubWindow* active);
  void UpdateWindowMenu();

  TAppContext& context_;
  QMdiArea* area_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  TAboutBox* about_ = nullptr;
};

}  // namespace velmoran::ui
