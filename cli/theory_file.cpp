#include "cli/theory_file.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <variant>
#include <vector>

#include "cli/file_io.h"
#include "logic/text_codec.h"
#include "parser/formula_parser.h"

namespace velmoran::cli {

namespace {

// The line `line` (1-based) of a text whose lines end at LF, CR LF or a lone CR.
std::string LineOf(const std::string& t, int line) {
  std::size_t start = 0;
  for (int l = 1; l < line && start < t.size(); ++start)
    if (t[start] == '\n' || (t[start] == '\r' && (start + 1 == t.size() || t[start + 1] != '\n')))
      ++l;
  std::size_t end = t.find_first_of("\r\n", start);
  return t.substr(start, (end == std::string::npos ? t.size() : end) - start);
}

// A caret under column `column` (1-based, counted in characters) of `lineText`.
std::string CaretUnder(const std::string& lineText, int column) {
  std::string caret;
  int at = 1;
  for (std::size_t i = 0; i < lineText.size() && at < column; ++i) {
    if ((static_cast<unsigned char>(lineText[i]) & 0xC0) == 0x80) continue;
    caret += lineText[i] == '\t' ? '\t' : ' ';
    ++at;
  }
  return caret + '^';
}

// Where an include's file name is looked for, in order: the TPTP root that the environment
// variable TPTP names, then the problem's own folder.
std::vector<std::filesystem::path> IncludeFolders(const std::string& problem) {
  std::vector<std::filesystem::path> folders;
  if (const char* root = std::getenv("TPTP"); root && *root) folders.emplace_back(root);
  std::filesystem::path own =
      problem == "-" ? std::filesystem::path(".") : std::filesystem::path(problem).parent_path();
  folders.push_back(own.empty() ? std::filesystem::path(".") : own);
  return folders;
}

}  // namespace

bool ReadsTptp(const std::string& path, bool tptpOption) {
  return tptpOption || (path.size() > 2 && path.ends_with(".p"));
}

std::optional<TheoryText> ReadTheory(const std::string& path,
                                     const std::function<bool()>& interrupted, bool tptp,
                                     ReadFailure* failure) {
  if (failure) *failure = ReadFailure::File;
  std::string reason;
  auto read = ReadAll(path, reason, interrupted);
  if (!read) {
    std::cerr << path << ": cannot read: " << reason << "\n";
    return std::nullopt;
  }
  const std::string& raw = *read;
  if (tptp) {
    std::vector<std::string> included;  // the texts the error may point into, by name
    std::vector<std::string> names;
    auto resolve = [&](const std::string& name, std::string& why) -> std::optional<std::string> {
      for (const std::filesystem::path& dir : IncludeFolders(path)) {
        std::filesystem::path file = dir / name;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) continue;
        if (auto text = ReadAll(file.string(), why, interrupted)) {
          names.push_back(name);
          included.push_back(*text);
          return text;
        }
        return std::nullopt;
      }
      why = "not found in $TPTP nor beside the problem";
      return std::nullopt;
    };
    auto translated = ReadTptp(raw, resolve);
    if (auto* e = std::get_if<TTptpError>(&translated)) {
      const std::string* source = &raw;
      std::string where = path;
      if (!e->File.empty()) {
        where = e->File;
        for (std::size_t i = names.size(); i-- > 0;)
          if (names[i] == e->File) {
            source = &included[i];
            break;
          }
      }
      std::string lineText = LineOf(*source, e->Line);
      std::cerr << where << ":" << e->Line << ":" << e->Column << ": " << e->Message << "\n"
                << lineText << "\n"
                << CaretUnder(lineText, e->Column) << "\n";
      if (failure) *failure = e->Unreadable ? ReadFailure::File : ReadFailure::Syntax;
      return std::nullopt;
    }
    TheoryText text{path, {}, raw, std::move(std::get<TTptpTheory>(translated))};
    text.Bytes = std::move(text.Tptp.Text);
    text.Tptp.Text.clear();
    return text;
  }
  auto decoded = DecodeTheoryText(raw);
  if (auto* e = std::get_if<CodecError>(&decoded)) {
    std::cerr << path << ":" << e->Line << ":" << e->Column << ": " << e->Message << "\n";
    return std::nullopt;
  }
  return TheoryText{path, std::move(std::get<std::string>(decoded)), std::nullopt, {}};
}

void PrintSyntaxError(const TheoryText& text, int errorPosition, int code, bool bytes) {
  // The caret position counts the characters before the caret, so it stands before the character
  // at that offset.
  std::size_t offset = errorPosition > 0 ? static_cast<std::size_t>(errorPosition) : 0;
  if (offset > text.Bytes.size()) offset = text.Bytes.size();
  if (text.TptpSource) {
    TTptpAnchor origin = text.Tptp.Origin(offset);
    std::string lineText = LineOf(*text.TptpSource, origin.Line);
    std::cerr << text.Name << ":" << origin.Line << ":" << origin.Column << ": error " << code
              << ": " << ErrorMessage(static_cast<std::uint8_t>(code)) << "\n"
              << lineText << "\n"
              << CaretUnder(lineText, origin.Column) << "\n";
    return;
  }
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

namespace {

// The translated TPTP text without the equality axioms' bytes [begin, end); none when the text
// has no such axioms or the range is empty.
std::optional<std::string> WithoutAxiomRange(const TheoryText& text, std::size_t begin,
                                             std::size_t end) {
  if (!text.TptpSource || text.Tptp.EqualityAxioms == 0 || end > text.Bytes.size() || begin >= end)
    return std::nullopt;
  std::string without = text.Bytes;
  without.erase(begin, end - begin);
  return without;
}

// Takes the bytes [begin, end) of a translated TPTP text out, keeping every later offset right.
void CutTptpRange(TheoryText& text, std::size_t begin, std::size_t end) {
  TTptpTheory& t = text.Tptp;
  const std::size_t cut = end - begin;
  std::erase_if(t.Anchors, [&](const TTptpAnchor& a) {
    return a.Offset >= begin && a.Offset < end && a.Offset != 0;
  });
  for (TTptpAnchor& a : t.Anchors)
    if (a.Offset >= end) a.Offset -= cut;
  text.Bytes.erase(begin, cut);
  auto shift = [&](std::size_t& offset) {
    if (offset >= end)
      offset -= cut;
    else if (offset > begin)
      offset = begin;
  };
  shift(t.EqualityBegin);
  shift(t.EqualityEnd);
  shift(t.RuleAxiomsBegin);
  shift(t.RuleAxiomsEnd);
  shift(t.QueryBegin);
  shift(t.AxiomsEnd);
}

}  // namespace

std::optional<std::string> WithoutEqualityAxioms(const TheoryText& text) {
  return WithoutAxiomRange(text, text.Tptp.EqualityBegin, text.Tptp.EqualityEnd);
}

void DropEqualityAxioms(TheoryText& text) {
  if (!WithoutEqualityAxioms(text)) return;
  TTptpTheory& t = text.Tptp;
  CutTptpRange(text, t.EqualityBegin, t.EqualityEnd);
  t.EqualityAxioms = 0;
  t.EqualityBegin = t.EqualityEnd = t.RuleAxiomsBegin = t.RuleAxiomsEnd = 0;
}

std::optional<std::string> WithoutRuleAxioms(const TheoryText& text) {
  return WithoutAxiomRange(text, text.Tptp.RuleAxiomsBegin, text.Tptp.RuleAxiomsEnd);
}

void DropRuleAxioms(TheoryText& text) {
  if (!WithoutRuleAxioms(text)) return;
  TTptpTheory& t = text.Tptp;
  CutTptpRange(text, t.RuleAxiomsBegin, t.RuleAxiomsEnd);
  t.RuleAxiomsBegin = t.RuleAxiomsEnd = 0;
}

std::string WithAxiomsInParts(const std::string& text, const TheoryText& theory, bool directions) {
  const TTptpTheory& t = theory.Tptp;
  if (!theory.TptpSource || !t.AxiomsParted || t.AxiomsEnd > text.size()) return text;
  return (directions ? t.AxiomsInDirections : t.AxiomsInParts) + text.substr(t.AxiomsEnd);
}

}  // namespace velmoran::cli
