#include "ui/derivation_view.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "ui/dialogs.h"
#include "ui/habits.h"

namespace velmoran::ui {

namespace {

constexpr const char* kUntitled = "Untitled";
constexpr const char* kZoomHint = "Ctrl++ and Ctrl+- zoom, Ctrl+0 shows the actual size.";
// `dot` measures in points; the PNG takes two pixels a point, so its text reads as sharply as on
// the screen of most users.
constexpr double kPngPixelsPerPoint = 2;

// Writes a whole file or nothing: a failed export never leaves half a picture behind.
std::optional<QString> WriteWhole(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return QString("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
  return std::nullopt;
}

}  // namespace

TDerivationView::TDerivationView(TAppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {
  setAttribute(Qt::WA_DeleteOnClose, false);  // the editor window keeps it for the next time
  resize(760, 560);

  message_ = new QLabel(this);
  message_->setObjectName("DerivationMessage");
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  exportSvg_ = new QPushButton("Export &SVG...", this);
  exportPng_ = new QPushButton("Export &PNG...", this);
  connect(exportSvg_, &QPushButton::clicked, this, &TDerivationView::ExportSvg);
  connect(exportPng_, &QPushButton::clicked, this, &TDerivationView::ExportPng);
  auto* top = new QHBoxLayout;
  top->addWidget(message_, 1);
  top->addWidget(exportSvg_);
  top->addWidget(exportPng_);

  scene_ = new QGraphicsScene(this);
  view_ = new QGraphicsView(scene_, this);
  view_->setDragMode(QGraphicsView::ScrollHandDrag);
  view_->setBackgroundBrush(Qt::white);
  view_->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(view_, 1);

  auto zoomKey = [this](const QKeySequence& key, auto zoom) {
    auto* a = new QAction(this);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, zoom);
    addAction(a);
  };
  zoomKey(QKeySequence::ZoomIn, [this] { SetZoom(zoom_ * 1.25); });
  zoomKey(QKeySequence("Ctrl+="), [this] { SetZoom(zoom_ * 1.25); });
  zoomKey(QKeySequence::ZoomOut, [this] { SetZoom(zoom_ / 1.25); });
  zoomKey(QKeySequence("Ctrl+0"), [this] { SetZoom(1); });

  dot_ = new QProcess(this);
  connect(dot_, &QProcess::finished, this, &TDerivationView::LayoutEnded);
  // Queued: a program that cannot be started may be reported inside `start` itself, before the
  // view has said that it lays out.
  connect(
      dot_, &QProcess::errorOccurred, this,
      [this](QProcess::ProcessError error) {
        // A crash or a failed write also ends in `finished`, which says so.
        if (error == QProcess::FailedToStart)
          Fail(QString(
                   "Graphviz's \"%1\" program could not be started (%2), so the derivation cannot "
                   "be drawn. Install Graphviz (tools/install-deps does) and open the view again.")
                   .arg(context_.DotProgram, dot_->errorString()));
      },
      Qt::QueuedConnection);
}

TDerivationView::~TDerivationView() {
  // A layout still running is not waited for.
  dot_->disconnect(this);
  if (dot_->state() != QProcess::NotRunning) {
    dot_->kill();
    dot_->waitForFinished(1000);
  }
}

QString TDerivationView::Message() const {
  return message_->text();
}

void TDerivationView::Show(const std::vector<std::string>& graph, const QString& theoryPath) {
  theoryPath_ = theoryPath;
  const QString name =
      theoryPath == kUntitled ? QString(kUntitled) : QFileInfo(theoryPath).fileName();
  setWindowTitle(QString("Derivation - %1").arg(name));
  if (dot_->state() != QProcess::NotRunning) {
    dot_->blockSignals(true);
    dot_->kill();
    dot_->waitForFinished(1000);
    dot_->blockSignals(false);
  }
  svg_.clear();
  scene_->clear();
  item_ = nullptr;
  renderer_.reset();
  exportSvg_->setEnabled(false);
  exportPng_->setEnabled(false);
  message_->setText("Laying out the derivation...");
  if (!isVisible() && parentWidget()) {
    // Over the middle of its editor window, which a desktop without a window manager would not do.
    QRect place = rect();
    place.moveCenter(parentWidget()->mapToGlobal(parentWidget()->rect().center()));
    move(place.topLeft());
  }
  show();
  raise();
  activateWindow();

  QByteArray text;
  for (const std::string& line : graph) text += QByteArray::fromStdString(line) + '\n';
  // No shell: the program and its one argument go to the system as they are.
  dot_->start(context_.DotProgram, {"-Tsvg"});
  dot_->write(text);
  dot_->closeWriteChannel();
}

void TDerivationView::Fail(const QString& why) {
  message_->setText(why);
  emit LaidOut(false);
}

void TDerivationView::LayoutEnded() {
  if (dot_->exitStatus() != QProcess::NormalExit || dot_->exitCode() != 0) {
    const QString said = QString::fromLocal8Bit(dot_->readAllStandardError()).trimmed();
    Fail(QString("Graphviz could not lay out the derivation%1")
             .arg(said.isEmpty() ? "." : ": " + said));
    return;
  }
  svg_ = dot_->readAllStandardOutput();
  renderer_ = std::make_unique<QSvgRenderer>(svg_);
  if (!renderer_->isValid()) {
    svg_.clear();
    renderer_.reset();
    Fail("Graphviz's picture of the derivation could not be read.");
    return;
  }
  item_ = new QGraphicsSvgItem;
  item_->setSharedRenderer(renderer_.get());
  scene_->addItem(item_);
  scene_->setSceneRect(item_->boundingRect());
  // The whole graph where it fits, though never so large that it looks blown up, nor so small
  // that its text cannot be read; the keys zoom from there.
  const QSizeF room = view_->viewport()->size() - QSizeF(8, 8);
  const QSizeF graph = item_->boundingRect().size();
  SetZoom(
      std::clamp(std::min(room.width() / graph.width(), room.height() / graph.height()), 0.6, 1.5));
  exportSvg_->setEnabled(true);
  exportPng_->setEnabled(true);
  message_->setText(kZoomHint);
  emit LaidOut(true);
}

void TDerivationView::SetZoom(double zoom) {
  zoom_ = std::clamp(zoom, 0.1, 8.0);
  view_->setTransform(QTransform::fromScale(zoom_, zoom_));
}

QString TDerivationView::ExportPath(const QString& suffix, const QString& filter) {
  // Proposed beside the theory, or where the user saved or opened a file last.
  QString folder = context_.Habits ? context_.Habits->LastFolder() : QString();
  if (folder.isEmpty() && theoryPath_ != kUntitled) folder = QFileInfo(theoryPath_).absolutePath();
  if (folder.isEmpty()) folder = context_.ProgramFolder;
  const QString base = theoryPath_ == kUntitled
                           ? QString("derivation")
                           : QFileInfo(theoryPath_).completeBaseName() + "-derivation";
  QString path =
      context_.Dialogs.ExportFileName(this, QDir(folder).filePath(base + "." + suffix), filter);
  if (path.isEmpty()) return path;
  if (QFileInfo(path).suffix().isEmpty() && !QFileInfo::exists(path)) path += "." + suffix;
  return path;
}

void TDerivationView::ExportSvg() {
  if (!HasPicture()) return;
  const QString path = ExportPath("svg", "SVG pictures (*.svg);;All files (*)");
  if (path.isEmpty()) return;
  if (auto failure = WriteWhole(path, svg_)) return context_.Dialogs.Error(this, *failure);
  if (context_.Habits) context_.Habits->NoteFolder(path);
}

void TDerivationView::ExportPng() {
  if (!HasPicture()) return;
  const QString path = ExportPath("png", "PNG pictures (*.png);;All files (*)");
  if (path.isEmpty()) return;
  const QSize size = (QSizeF(renderer_->defaultSize()) * kPngPixelsPerPoint).toSize();
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    renderer_->render(&painter);
  }
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
  }
  if (auto failure = WriteWhole(path, bytes)) return context_.Dialogs.Error(this, *failure);
  if (context_.Habits) context_.Habits->NoteFolder(path);
}

}  // namespace velmoran::ui
