#include "report/derivation_dot.h"

#include <map>
#include <string_view>

namespace velmoran {

namespace {

struct TStep {
  std::string Name;
  std::string Role;
  std::string Formula;
  std::vector<std::string> Parents;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// "fof(NAME, ROLE, FORMULA[, inference(RULE, [...], [P, P])])." The formula may hold commas and
// brackets of its own, so the name and role are read from the front and the inference from the
// back.
bool ParseStep(std::string_view line, TStep& step) {
  if (line.rfind("fof(", 0) != 0 || line.size() < 7 || line.substr(line.size() - 2) != ").")
    return false;
  std::string_view body = line.substr(4, line.size() - 6);
  auto first = body.find(',');
  auto second = body.find(',', first + 1);
  if (first == std::string_view::npos || second == std::string_view::npos) return false;
  step.Name = Trim(body.substr(0, first));
  step.Role = Trim(body.substr(first + 1, second - first - 1));
  std::string_view rest = body.substr(second + 1);
  auto inference = rest.rfind(", inference(");
  if (inference == std::string_view::npos) {
    step.Formula = Trim(rest);
    return true;
  }
  step.Formula = Trim(rest.substr(0, inference));
  std::string_view tail = rest.substr(inference);
  auto open = tail.rfind('[');
  auto close = tail.rfind(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return true;
  std::string_view parents = tail.substr(open + 1, close - open - 1);
  while (!parents.empty()) {
    auto comma = parents.find(',');
    std::string_view p = Trim(parents.substr(0, comma));
    if (!p.empty()) step.Parents.emplace_back(p);
    if (comma == std::string_view::npos) break;
    parents.remove_prefix(comma + 1);
  }
  return true;
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::string Quoted(std::string_view text) {
  return "\"" + Escaped(text) + "\"";
}

}  // namespace

std::vector<std::string> DerivationDot(const std::vector<std::string>& tstp) {
  std::map<std::string, std::string> degrees;
  std::vector<TStep> steps;
  for (const std::string& line : tstp) {
    std::string_view l = line;
    if (l.rfind("% ", 0) == 0) {
      auto mark = l.find(" degree ");
      if (mark != std::string_view::npos)
        degrees[std::string(l.substr(2, mark - 2))] = l.substr(mark + 8);
      continue;
    }
    TStep step;
    if (ParseStep(l, step)) steps.push_back(std::move(step));
  }
  std::vector<std::string> out{"digraph derivation {", "  rankdir=TB;",
                               "  node [fontname=\"DejaVu Sans\", fontsize=10];"};
  for (const TStep& s : steps) {
    std::string head = s.Name;
    if (auto d = degrees.find(s.Name); d != degrees.end()) head += "  (degree " + d->second + ")";
    // Two lines: the name with its degree, then the formula.
    std::string label = "\"" + Escaped(head) + "\\n" + Escaped(s.Formula) + "\"";
    const bool leaf = s.Parents.empty() || s.Role == "negated_conjecture";
    std::string shape = leaf ? "box" : s.Formula == "$false" ? "doubleoctagon" : "ellipse";
    out.push_back("  " + Quoted(s.Name) + " [shape=" + shape + ", label=" + label + "];");
  }
  for (const TStep& s : steps)
    for (const std::string& p : s.Parents)
      out.push_back("  " + Quoted(p) + " -> " + Quoted(s.Name) + ";");
  out.emplace_back("}");
  return out;
}

}  // namespace velmoran
