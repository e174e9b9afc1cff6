// Where report lines go.
//
// The report only ever appends whole lines. The command-line prover prints each line as it
// arrives, the desktop app appends it to the output pane, and a `TLineList` keeps them in memory
// (the private list of a non-interactive run, and the tests' view of a report).
#pragma once

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

}  // namespace velmoran
