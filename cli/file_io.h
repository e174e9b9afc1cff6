// The command line's file and stream input/output, where every failure is a message.
//
// Reading: a theory comes from a file or standard input through plain reads, up to a size limit,
// so a directory, a closed descriptor or an endless stream ends in the system's reason instead of
// an exception or an exhausted heap. Writing: a report file is written to a temporary file in the
// same folder, synced and renamed over the old one, so the old file stays whole until the new one
// is complete; a symbolic link in the report's place is replaced by the file, its target is never
// written. Standard output is buffered by the program itself so that a failed write is noticed.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmoran::cli {

// The most a theory may hold: far beyond any text the prover can work through.
constexpr std::size_t kMaxTheoryBytes = std::size_t{64} << 20;

// Reads all of `path` ("-" is standard input). On failure returns nothing and sets `reason`.
// `interrupted` is asked when a read is interrupted by a signal: true ends the read.
std::optional<std::string> ReadAll(const std::string& path, std::string& reason,
                                   const std::function<bool()>& interrupted);

// Replaces `path` with `data` as described above. Returns the reason of a failure, or nothing.
std::optional<std::string> WriteFileSafely(const std::string& path, std::string_view data);

// The temporary file being written, if any: a second interrupt removes it before the program ends.
// Written only by `WriteFileSafely`; safe to read from a signal handler.
const char* PendingTemporaryFile();

// Standard output, written with plain writes: each line at once on a terminal, in blocks
// otherwise. The first failure is kept; later writes are dropped.
class TStdout {
 public:
  TStdout();
  void Line(std::string_view text);
  void Flush();
  // The reason of the first failed write, if any.
  const std::optional<std::string>& Failure() const { return failure_; }

 private:
  void WriteOut();
  std::string buffer_;
  bool terminal_;
  std::optional<std::string> failure_;
};

}  // namespace velmoran::cli
