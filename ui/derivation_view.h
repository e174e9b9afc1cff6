// The best refutation's derivation as a picture, opened from a window's report.
//
// The graph is the one the report layer writes for the command line's --derivation=dot; Graphviz's
// `dot` lays it out as SVG in a process of its own, so a large derivation never holds up the
// window, and the view shows the SVG, scrolled and zoomed, and exports it as SVG or as PNG. A
// missing or failing `dot` is said in the view in place of the picture.
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "ui/app_context.h"

class QAction;
class QGraphicsScene;
class QGraphicsSvgItem;
class QGraphicsView;
class QLabel;
class QProcess;
class QPushButton;
class QSvgRenderer;

namespace velmoran::ui {

class TDerivationView : public QWidget {
  Q_OBJECT

 public:
  // A window of its own that its `parent` (an editor window) owns.
  TDerivationView(TAppContext& context, QWidget* parent);
  ~TDerivationView() override;

  // Lays out `graph` (Graphviz lines) and shows it; `theoryPath` names the window and the files
  // proposed for export. A layout still running is abandoned.
  void Show(const std::vector<std::string>& graph, const QString& theoryPath);
  // The picture as `dot` wrote it; empty until a layout has succeeded.
  const QByteArray& Svg() const { return svg_; }
  // What the view says above the picture: how to zoom, or why there is no picture.
  QString Message() const;
  bool HasPicture() const { return !svg_.isEmpty(); }

  // Ask for a file name (starting in the last folder) and write the picture there.
  void ExportSvg();
  void ExportPng();

 signals:
  // The layout has ended, with a picture or with a message.
  void LaidOut(bool pictured);

 private:
  void LayoutEnded();
  void Fail(const QString& why);
  void SetZoom(double zoom);
  QString ExportPath(const QString& suffix, const QString& filter);

  TAppContext& context_;
  QString theoryPath_;
  QByteArray svg_;
  double zoom_ = 1;
  QProcess* dot_ = nullptr;
  QLabel* message_ = nullptr;
  QPushButton* exportSvg_ = nullptr;
  QPushButton* exportPng_ = nullptr;
  QGraphicsScene* scene_ = nullptr;
  QGraphicsView* view_ = nullptr;
  std::unique_ptr<QSvgRenderer> renderer_;
  QGraphicsSvgItem* item_ = nullptr;
};

}  // namespace velmoran::ui
