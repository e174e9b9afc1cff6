// Theory files as the editor window reads and writes them.
//
// A file is read as one-byte text or as UTF-8 (the engine's text codec decides) and remembers
// which, so that saving writes it back in the same encoding; a new theory is saved as one-byte
// text. The pane holds the text as lines: line ends are read as CR LF, LF or a lone CR, and every
// line is written back ended by CR LF. Saving writes a temporary file beside the target and
// renames it into place, so a failed save leaves the old file as it was. Failures are values.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <variant>

namespace velmoran::ui {

// A UTF-8 file that began with a byte-order mark gets it back when saved.
enum class TheoryEncoding { OneByte, Utf8, Utf8WithMark };

struct TLoadedTheory {
  std::string Bytes;  // one-byte text, lines separated by "\n"
  TheoryEncoding Encoding = TheoryEncoding::OneByte;
};

// The file's text, or the failure's message.
std::variant<TLoadedTheory, QString> LoadTheoryFile(const QString& path);
// Writes one-byte text (lines separated by "\n") to `path`; the failure's message, if any.
std::optional<QString> SaveTheoryFile(const QString& path, std::string_view bytes,
                                      TheoryEncoding encoding);
// Writes bytes as they are, by the same temporary-file route (the ".out" report).
std::optional<QString> WriteFileSafely(const QString& path, std::string_view bytes);

// One-byte text and the panes' strings: byte n is the character U+00nn.
QString PaneText(std::string_view bytes);
std::string PaneBytes(const QString& text);

}  // namespace velmoran::ui
