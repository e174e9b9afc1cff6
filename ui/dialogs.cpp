#include "ui/dialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>

namespace velmoran::ui {

QMessageBox::StandardButton TQtDialogs::AskSaveChanges(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QGuiApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                               QMessageBox::Yes);
}

QString TQtDialogs::OpenFileName(QWidget* parent, const QString& folder) {
  return QFileDialog::getOpenFileName(parent, QString(), folder, kTheoryFileFilter);
}

QString TQtDialogs::SaveFileName(QWidget* parent, const QString& proposed) {
  // New names are accepted: a save dialog that only overwrites existing files could never save a
  // new theory.
  return QFileDialog::getSaveFileName(parent, QString(), proposed, kTheoryFileFilter);
}

QString TQtDialogs::ExportFileName(QWidget* parent, const QString& proposed,
                                   const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString(), proposed, filter);
}

std::optional<QFont> TQtDialogs::ChooseFont(QWidget* parent, const QFont& initial) {
  bool ok = false;
  QFont font = QFontDialog::getFont(&ok, initial, parent);
  if (!ok) return std::nullopt;
  return font;
}

std::optional<QString> TQtDialogs::AskDcfLimit(QWidget* parent) {
  bool ok = false;
  QString text =
      QInputDialog::getText(parent, "Detection of consequent formulas limit",
                            "Maximal number of iterations:", QLineEdit::Normal, "5", &ok);
  if (!ok) return std::nullopt;
  return text;
}

void TQtDialogs::Information(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QGuiApplication::applicationName(), text);
}

void TQtDialogs::SyntaxError(QWidget* parent, const QString& text) {
  const qsizetype end = text.indexOf('\n');
  QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationName(), QString(),
                  QMessageBox::Ok, parent);
  box.setTextFormat(Qt::RichText);
  box.setText("<p>" + text.left(end).toHtmlEscaped() + "</p><pre>" +
              (end < 0 ? QString() : text.mid(end + 1).toHtmlEscaped()) + "</pre>");
  box.exec();
}

void TQtDialogs::Error(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QGuiApplication::applicationName(), text);
}

}  // namespace velmoran::ui
