#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <sstream>

namespace velmoran::cli {

namespace {

using Flag = std::uint8_t TPLProgram::*;

const std::map<std::string, Flag>& OutputSwitches() {
  static const std::map<std::string, Flag> switches{
      {"axioms", &TPLProgram::ShowAxioms},
      {"progress", &TPLProgram::ShowProgress},
      {"sources", &TPLProgram::ShowSources},
      {"resolvents", &TPLProgram::ShowResolvents},
      {"time", &TPLProgram::ShowTime},
      {"memory", &TPLProgram::ShowMemory},
      {"unsimplified", &TPLProgram::ShowUnsimplified},
      {"statistics", &TPLProgram::ShowStatistics},
      {"dcf", &TPLProgram::ShowDcf},
  };
  return switches;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::stringstream ss(list);
  for (std::string item; std::getline(ss, item, ',');)
    if (!item.empty()) items.push_back(item);
  return items;
}

}  // namespace

void CopySettings(const TPLProgram& from, TPLProgram& to) {
  for (Flag f :
       {&TPLProgram::Interactive,       &TPLProgram::ShowTime,       &TPLProgram::ShowMemory,
        &TPLProgram::ShowAxioms,        &TPLProgram::ShowResolvents, &TPLProgram::ShowStatistics,
        &TPLProgram::CheckDcf,          &TPLProgram::CheckDcfKill,   &TPLProgram::NoRestriction,
        &TPLProgram::SupportSet,        &TPLProgram::Filtration,     &TPLProgram::ShowUnsimplified,
        &TPLProgram::ShowProgress,      &TPLProgram::ShowSources,    &TPLProgram::ExitOnFirstMatch,
        &TPLProgram::ExitOnFirstUnused, &TPLProgram::ShowDcf,        &TPLProgram::GeneralCut,
        &TPLProgram::TrivialCheckOnly,  &TPLProgram::OneRefutation,  &TPLProgram::QuantificationOn})
    to.*f = from.*f;
  to.Strategy = from.Strategy;
  to.DcfLimit = from.DcfLimit;
}

std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  CLI::App app{
      "Velmoran: a theorem prover for first-order fuzzy predicate logic.\n"
      "Proves each theory FILE (\"-\" is standard input) and prints its report."};
  app.set_version_flag("--version", std::string("velmoran ") + VELMORAN_VERSION);

  std::string strategy = "linear", check = "kill", restrict = "none", unify = "last";
  std::string show, hide;
  int dcfLimit = 10;
  bool oneRefutation = false, generalCut = false, noQuantification = false;
  app.add_option("files", options.Files, "Theory files")->required()->type_name("FILE...");
  app.add_option("-s,--strategy", strategy, "Search strategy")
      ->check(CLI::IsMember({"linear", "modified", "breadth"}))
      ->capture_default_str();
  app.add_option("--check", check, "Redundancy check: trivial, dcf or kill (dcf + kill)")
      ->check(CLI::IsMember({"trivial", "dcf", "kill"}))
      ->capture_default_str();
  app.add_option("--restrict", restrict, "Restriction strategy")
      ->check(CLI::IsMember({"none", "filtration", "support"}))
      ->capture_default_str();
  app.add_option("--unify", unify, "Atom pairs tried: last (all), first-match or first-unused")
      ->check(CLI::IsMember({"last", "first-match", "first-unused"}))
      ->capture_default_str();
  app.add_flag("--one-refutation", oneRefutation, "Stop a query's search at its first refutation");
  app.add_flag("--general-cut", generalCut, "Replace every unifiable occurrence in both sources");
  app.add_flag("--no-quantification", noQuantification,
               "Unify without the quantifier rules and print no prefixes");
  app.add_option("--dcf-limit", dcfLimit, "Steps of one consequent test (at least 1)")
      ->capture_default_str();
  std::string switchNames =
      "axioms,progress,sources,resolvents,time,memory,unsimplified,"
      "statistics,dcf";
  app.add_option("--show", show, "Output switches to turn on: " + switchNames)->type_name("LIST");
  app.add_option("--hide", hide,
                 "Output switches to turn off (on by default: "
                 "progress,sources,time,memory)")
      ->type_name("LIST");
  app.add_flag("--out", options.Out,
               "Save the report as FILE.out and print it afterwards (when short enough)");
  app.add_option("--timeout", options.TimeoutSeconds, "Stop a proof after SECONDS")
      ->check(CLI::PositiveNumber)
      ->type_name("SECONDS");
  app.add_option("--max-resolvents", options.MaxResolvents,
                 "Stop a proof when a query has stored N resolvents")
      ->check(CLI::PositiveNumber)
      ->type_name("N");
  app.add_flag("--syntax-only", options.SyntaxOnly, "Only parse, and print each formula");
  app.add_flag("--bytes", options.Bytes, "Print the one-byte alphabet as it is, not UTF-8");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int rc = app.exit(e);
    return rc == 0 ? 0 : 2;
  }

  TPLProgram& p = options.Settings;
  SetMenuDefaults(p);
  p.Strategy = strategy == "linear"     ? SearchStrategy::Linear
               : strategy == "modified" ? SearchStrategy::ModifiedLinear
                                        : SearchStrategy::BreadthFirst;
  p.TrivialCheckOnly = check == "trivial";
  p.CheckDcf = check == "dcf";
  p.CheckDcfKill = check == "kill";
  p.NoRestriction = restrict == "none";
  p.Filtration = restrict == "filtration";
  p.SupportSet = restrict == "support";
  p.ExitOnFirstMatch = unify == "first-match";
  p.ExitOnFirstUnused = unify == "first-unused";
  p.OneRefutation = oneRefutation;
  p.GeneralCut = generalCut;
  p.QuantificationOn = !noQuantification;
  p.DcfLimit = dcfLimit < 1 ? 1 : dcfLimit;
  p.Interactive = !options.Out;
  for (auto [list, value] : {std::pair{show, 1}, std::pair{hide, 0}}) {
    for (const std::string& name : SplitList(list)) {
      auto it = OutputSwitches().find(name);
      if (it == OutputSwitches().end()) {
        std::cerr << "velmoran: unknown output switch '" << name << "' (one of " << switchNames
                  << ")\n";
        return 2;
      }
      p.*(it->second) = static_cast<std::uint8_t>(value);
    }
  }
  return std::nullopt;
}

}  // namespace velmoran::cli
