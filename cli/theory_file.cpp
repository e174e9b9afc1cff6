#include "cli/theory_file.h"

#include <iostream>
#include <variant>

#include "cli/file_io.h"
#include "logic/text_codec.h"
#include "parser/formula_parser.h"

namespace velmoran::cli {

std::optional<TheoryText> ReadTheory(const std::string& path,
                                     const std::function<bool()>& interrupted) {
  std::string reason;
  auto read = ReadAll(path, reason, interrupted);
  if (!read) {
    std::cerr << path << ": cannot read: " << reason << "\n";
    return std::nullopt;
  }
  const std::string& raw = *read;
  auto decoded = DecodeTheoryText(raw);
  if (auto* e = std::get_if<CodecError>(&decoded)) {
    std::cerr << path << ":" << e->Line << ":" << e->Column << ": " << e->Message << "\n";
    return std::nullopt;
  }
  return TheoryText{path, std::move(std::get<std::string>(decoded))};
}

void PrintSyntaxError(const TheoryText& text, int errorPosition, int code, bool bytes) {
  // The caret position counts the characters before the caret, so it stands before the character
  // at that offset.
  std::size_t offset = errorPosition > 0 ? static_cast<std::size_t>(errorPosition) : 0;
  if (offset > text.Bytes.size()) offset = text.Bytes.size();
  std::size_t lineStart = 0;
  std::size_t line = 1;
  // A line ends at LF, CR LF or a lone CR.
  const std::string& t = text.Bytes;
  for (std::size_t i = 0; i < offset; ++i) {
    if (t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n'))) {
      lineStart = i + 1;
      ++line;
    }
  }
  std::size_t column = offset - lineStart + 1;
  std::size_t lineEnd = text.Bytes.find_first_of("\r\n", lineStart);
  std::string lineText = text.Bytes.substr(
      lineStart, (lineEnd == std::string::npos ? text.Bytes.size() : lineEnd) - lineStart);
  if (!lineText.empty() && lineText.back() == '\r') lineText.pop_back();
  std::string caret;
  for (std::size_t i = 0; i + 1 < column && i < lineText.size(); ++i)
    caret += lineText[i] == '\t' ? '\t' : ' ';
  caret += '^';
  std::cerr << text.Name << ":" << line << ":" << column << ": error " << code << ": "
            << ErrorMessage(static_cast<std::uint8_t>(code)) << "\n"
            << (bytes ? lineText : EncodeUtf8(lineText)) << "\n"
            << caret << "\n";
}

}  // namespace velmoran::cli
