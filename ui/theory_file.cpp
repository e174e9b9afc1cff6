#include "ui/theory_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "logic/text_codec.h"

namespace velmoran::ui {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string NormalizeLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  // The last line's end is a line end, not an empty line after it.
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace

std::variant<TLoadedTheory, QString> LoadTheoryFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return QString("Cannot open file %1. %2").arg(path, file.errorString());
  QByteArray raw = file.readAll();
  if (file.error() != QFileDevice::NoError)
    return QString("Cannot read file %1. %2").arg(path, file.errorString());
  std::string_view view(raw.constData(), static_cast<std::size_t>(raw.size()));
  auto decoded = DecodeTheoryText(view);
  if (auto* e = std::get_if<CodecError>(&decoded))
    return QString("Cannot read file %1: line %2, column %3: %4")
        .arg(path)
        .arg(e->Line)
        .arg(e->Column)
        .arg(QString::fromStdString(e->Message));
  TLoadedTheory theory;
  theory.Bytes = NormalizeLineEnds(std::get<std::string>(decoded));
  if (view.starts_with(kByteOrderMark))
    theory.Encoding = TheoryEncoding::Utf8WithMark;
  else if (IsUtf8TheoryText(view))
    theory.Encoding = TheoryEncoding::Utf8;
  return theory;
}

std::optional<QString> WriteFileSafely(const QString& path, std::string_view bytes) {
  // QSaveFile syncs the new file before its rename, but follows a symbolic link and replaces the
  // link's target: a link in the file's place is removed first, so the file takes its place.
  if (QFileInfo(path).isSymLink() && !QFile::remove(path))
    return QString("Cannot create file %1. %2")
        .arg(path, "The link in its place cannot be removed.");
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QString("Cannot create file %1. %2").arg(path, file.errorString());
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size())) {
    QString message = QString("Cannot write file %1. %2").arg(path, file.errorString());
    file.cancelWriting();
    return message;
  }
  if (!file.commit()) return QString("Cannot write file %1. %2").arg(path, file.errorString());
  return std::nullopt;
}

std::optional<QString> SaveTheoryFile(const QString& path, std::string_view bytes,
                                      TheoryEncoding encoding) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 16 + 2);
  for (char c : bytes) {
    if (c == '\n')
      text += "\r\n";
    else
      text += c;
  }
  if (!bytes.empty()) text += "\r\n";
  if (encoding == TheoryEncoding::Utf8) text = EncodeUtf8(text);
  if (encoding == TheoryEncoding::Utf8WithMark)
    text = std::string(kByteOrderMark) + EncodeUtf8(text);
  return WriteFileSafely(path, text);
}

QString PaneText(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string PaneBytes(const QString& text) {
  QByteArray latin1 = text.toLatin1();
  return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

}  // namespace velmoran::ui
