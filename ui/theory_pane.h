// A text pane of the editor window: the theory or the report.
//
// The pane holds one-byte text, byte n as the character U+00nn, which the symbol font draws as the
// logic glyph of the alphabet. Across the clipboard the text is UTF-8 with the real symbols (∀,
// not the Latin-1 letter that the font draws as ∀), so what is copied reads right anywhere; what
// is pasted or dropped may be either and is decoded by the engine's text codec. Text the codec
// refuses is not inserted: the pane reports it through `InsertRefused` and changes nothing.
#pragma once

#include <QPlainTextEdit>

namespace velmoran::ui {

class TTheoryPane : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TTheoryPane(QWidget* parent = nullptr);

 signals:
  void InsertRefused(const QString& message);

 protected:
  QMimeData* createMimeDataFromSelection() const override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace velmoran::ui
