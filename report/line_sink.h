// Where report lines go.
//
// The report only ever appends whole lines. The command-line prover prints each line as it
// arrives, the desktop app appends it to the output pane, and a `TLineList` keeps them in memory
// (the private list of a non-interactive run, and the tests' view of a report).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velmoran {

class TLineSink {
 public:
  virtual ~TLineSink() = default;
  virtual void Add(std::string line) = 0;
};

class TLineList : public TLineSink {
 public:
  void Add(std::string line) override { Lines.push_back(std::move(line)); }
  // Every line followed by CR LF, as the ".out" file stores it.
  std::string Text() const {
    std::string s;
    for (const auto& l : Lines) {
      s += l;
      s += "\r\n";
    }
    return s;
  }

  std::vector<std::string> Lines;
};

// A report kept in memory for its ".out" file reaches the screen whole only below this many
// characters, counted as the file holds it (every line followed by CR LF); past that, the notice
// below stands in its place and the reader goes to the file.
inline constexpr std::size_t kShownReportLimit = 32768;
inline constexpr const char* kReportTooLong =
    "Done, but output text exceeded the maximal size / consult the output file (*.out).";

// Whether `report` is shown whole rather than replaced by `kReportTooLong`. A report whose file
// could not be written (`fileFailed`) is shown whatever its length: it is the only copy.
inline bool ShowsWholeReport(const TLineList& report, bool fileFailed) {
  std::size_t length = 0;
  for (const std::string& line : report.Lines) length += line.size() + 2;
  return length < kShownReportLimit || fileFailed;
}

}  // namespace velmoran
