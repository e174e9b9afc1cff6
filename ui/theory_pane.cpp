#include "ui/theory_pane.h"

#include <QMimeData>
#include <QTextDocumentFragment>
#include <variant>

#include "logic/text_codec.h"
#include "ui/theory_file.h"

namespace velmoran::ui {

TTheoryPane::TTheoryPane(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QMimeData* TTheoryPane::createMimeDataFromSelection() const {
  auto* data = new QMimeData;
  // toPlainText-style line ends: the selection's paragraph separators become "\n".
  QString selected = textCursor().selection().toPlainText();
  data->setText(QString::fromStdString(EncodeUtf8(PaneBytes(selected))));
  return data;
}

bool TTheoryPane::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText();
}

void TTheoryPane::insertFromMimeData(const QMimeData* source) {
  if (!source->hasText()) return;
  QByteArray utf8 = source->text().toUtf8();
  auto decoded =
      DecodeTheoryText(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  if (auto* e = std::get_if<CodecError>(&decoded)) {
    emit InsertRefused(QString("Nothing was pasted: line %1, column %2 of the text: %3")
                           .arg(e->Line)
                           .arg(e->Column)
                           .arg(QString::fromStdString(e->Message)));
    return;
  }
  QString text = PaneText(std::get<std::string>(decoded));
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  textCursor().insertText(text);
  ensureCursorVisible();
}

}  // namespace velmoran::ui
