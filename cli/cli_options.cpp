#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>
#include <utility>

#include "cli/portfolio.h"
#include "prover/options.h"

namespace velmoran::cli {

namespace {

// The options of the prover's menus are made from the option table: a toggle of the "&Output"
// menu is a name in --show/--hide, any other toggle a flag that leaves its default, and a radio
// group one option whose values are its items.

bool IsOutputSwitch(const TOptionRow& option) {
  return option.Menu == OptionMenu::Output && option.Group == 0 && option.Cli != nullptr;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::stringstream ss(list);
  for (std::string item; std::getline(ss, item, ',');)
    if (!item.empty()) items.push_back(item);
  return items;
}

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
  return text;
}

// Lines "  NAME  TEXT" under a heading, NAME padded so the texts line up.
std::string ValueList(std::string heading,
                      const std::vector<std::pair<std::string, std::string>>& items) {
  std::size_t width = 0;
  for (const auto& item : items) width = std::max(width, item.first.size());
  for (const auto& [name, text] : items)
    heading += "\n  " + name + std::string(width - name.size() + 2, ' ') + text;
  return heading;
}

std::vector<std::string> SwitchNames() {
  std::vector<std::string> names;
  for (const TOptionRow& option : OptionTable())
    if (IsOutputSwitch(option)) names.emplace_back(option.Cli);
  return names;
}

// The row that --one-refutation selects: the command line spelled it so before its radio group
// had an option of its own.
const TOptionRow& OneRefutationRow() {
  for (const TOptionRow& option : OptionTable())
    if (option.Flag == &TPLProgram::OneRefutation) return option;
  return OptionTable().front();  // unreachable: the table holds every flag
}

// Numbers are checked here, not by the library's converters: those take "nan" as a number of
// seconds and wrap or drop values out of range. Each failure names what the option accepts.
CLI::Validator WholeNumber(std::int64_t min, std::int64_t max) {
  return CLI::Validator(
      [min, max](std::string& text) -> std::string {
        std::int64_t value = 0;
        auto res = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size() ||
            value < min || value > max)
          return "expects a whole number from " + std::to_string(min) + " to " +
                 std::to_string(max) + ", not '" + text + "'";
        return "";
      },
      "");
}

constexpr double kMaxSeconds = 1e9;

CLI::Validator Seconds() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        char* end = nullptr;
        errno = 0;
        double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != 0 || errno != 0 || !std::isfinite(value) || value <= 0 ||
            value > kMaxSeconds)
          return "expects a number of seconds above 0 and at most 1e9, not '" + text + "'";
        return "";
      },
      "");
}

CLI::Validator OneOf(const std::vector<std::string>& values) {
  return CLI::Validator(
      [values](std::string& text) -> std::string {
        if (std::find(values.begin(), values.end(), text) != values.end()) return "";
        return "expects one of " + Join(values) + ", not '" + text + "'";
      },
      "");
}

// A value option given as "--name=" or as the last argument would take the next argument (often
// the theory file) as its value, or nothing: both are refused before parsing.
std::optional<std::string> MissingValue(int argc, char** argv, const CLI::App& app,
                                        const std::map<std::string, std::string>& accepts) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") break;
    std::string name = arg.substr(0, arg.find('='));
    const CLI::Option* option = nullptr;
    for (const CLI::Option* o : app.get_options())
      if (!o->get_lnames().empty() && name.starts_with("-") && o->check_name(name)) option = o;
    // Only the options that take a value are in `accepts`.
    if (!option || !accepts.contains("--" + option->get_lnames().front())) continue;
    bool emptyAfterEquals = arg.size() == name.size() + 1;
    bool last = arg.size() == name.size() && i + 1 == argc;
    if (!emptyAfterEquals && !last) continue;
    std::string longName = "--" + option->get_lnames().front();
    auto what = accepts.find(longName);
    return longName + ": needs a value" +
           (what == accepts.end() ? std::string() : ": " + what->second);
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  CLI::App app{
      "Velmoran: a theorem prover for first-order fuzzy predicate logic.\n"
      "Proves each theory FILE (\"-\" is standard input) and prints its report."};
  app.set_version_flag("--version", std::string("velmoran ") + VELMORAN_VERSION);

  app.failure_message([](const CLI::App*, const CLI::Error& e) {
    return std::string("velmoran: ") + e.what() + "\n";
  });
  std::map<std::string, std::string> accepts;  // long name -> what its value may be
  const TSettings defaults;
  std::string strategy;
  std::vector<std::string> strategyNames;
  std::vector<std::pair<std::string, std::string>> strategyItems;
  for (const TStrategyRow& row : StrategyRows()) {
    strategyNames.emplace_back(row.Cli);
    strategyItems.emplace_back(row.Cli, row.Help);
    if (row.Strategy == defaults.Strategy) strategy = row.Cli;
  }
  accepts["--strategy"] = "one of " + Join(strategyNames);
  std::string show, hide;
  std::vector<std::int32_t> numbers(NumberRows().size());
  std::map<const TSwitchRow*, bool> switchedOn;
  bool oneRefutation = false;
  std::map<char, std::string> groupValues;    // radio group -> the chosen item's value
  std::map<const TOptionRow*, bool> toggled;  // toggle row -> given on the command line

  app.add_option("files", options.Files, "Theory files")->required()->type_name("FILE...");
  app.add_option("-s,--strategy", strategy, ValueList("Search strategy", strategyItems))
      ->check(OneOf(strategyNames))
      ->capture_default_str();

  std::map<char, CLI::Option*> groupOptions;
  for (const TOptionGroup& group : OptionGroups()) {
    std::vector<std::string> values;
    std::vector<std::pair<std::string, std::string>> items;
    std::string& value = groupValues[group.Group];
    for (const TOptionRow& option : OptionTable()) {
      if (option.Group != group.Group) continue;
      values.emplace_back(option.Cli);
      items.emplace_back(option.Cli, option.Help);
      if (option.Default) value = option.Cli;
    }
    accepts[std::string("--") + group.Cli] = "one of " + Join(values);
    groupOptions[group.Group] =
        app.add_option(std::string("--") + group.Cli, value, ValueList(group.Help, items))
            ->check(OneOf(values))
            ->capture_default_str();
  }
  const TOptionRow& oneRow = OneRefutationRow();
  for (const TOptionGroup& group : OptionGroups())
    if (group.Group == oneRow.Group)
      app.add_flag("--one-refutation", oneRefutation,
                   std::string("Same as --") + group.Cli + "=" + oneRow.Cli)
          ->excludes(groupOptions[group.Group]);

  for (const TOptionRow& option : OptionTable()) {
    if (option.Group != 0 || option.Menu == OptionMenu::Output || !option.Cli) continue;
    if (option.Default)
      app.add_flag(std::string("--no-") + option.Cli, toggled[&option],
                   std::string(option.Help) + " (on by default: this turns it off)");
    else
      app.add_flag(std::string("--") + option.Cli, toggled[&option], option.Help);
  }

  for (std::size_t k = 0; k < NumberRows().size(); ++k) {
    const TNumberRow& row = NumberRows()[k];
    numbers[k] = defaults.*row.Field;
    app.add_option(std::string("--") + row.Cli, numbers[k], row.Help)
        ->check(WholeNumber(row.Min, std::numeric_limits<std::int32_t>::max()))
        ->capture_default_str();
    accepts[std::string("--") + row.Cli] = "a whole number from " + std::to_string(row.Min);
  }
  std::vector<std::pair<std::string, std::string>> switches;
  std::vector<std::string> onByDefault;
  for (const TOptionRow& option : OptionTable()) {
    if (!IsOutputSwitch(option)) continue;
    switches.emplace_back(option.Cli,
                          std::string(option.Default ? "on   " : "off  ") + option.Help);
    if (option.Default) onByDefault.emplace_back(option.Cli);
  }
  app.add_option(
         "--show", show,
         ValueList("Output switches to turn on, comma-separated; each with its default:", switches))
      ->type_name("LIST");
  app.add_option("--hide", hide,
                 "Output switches to turn off (on by default: " + Join(onByDefault) + ")")
      ->type_name("LIST");
  app.add_flag("--out", options.Out,
               "Save the report as FILE.out and print it afterwards (when short enough)");
  app.add_option("--timeout", options.TimeoutSeconds, "Stop a proof after SECONDS")
      ->check(Seconds())
      ->type_name("SECONDS");
  app.add_option("--max-resolvents", options.MaxResolvents,
                 "Stop a proof when a query has stored N resolvents")
      ->check(WholeNumber(1, std::numeric_limits<std::int64_t>::max()))
      ->type_name("N");
  app.add_option("--max-memory", options.MaxMemoryMegabytes,
                 "Stop a proof when the program's heap holds MB megabytes")
      ->check(WholeNumber(1, std::int64_t{1} << 30))
      ->type_name("MB");
  app.add_flag("--syntax-only", options.SyntaxOnly, "Only parse, and print each formula");
  app.add_flag("--tptp", options.Tptp,
               "Read each FILE as a TPTP FOF problem (files named *.p are read so anyway)");
  app.add_flag("--to-tptp", options.ToTptp,
               "Print each theory as a TPTP FOF problem and prove nothing");
  app.add_flag("--bytes", options.Bytes, "Print the one-byte alphabet as it is, not UTF-8");
  for (const TSwitchRow& row : SwitchRows())
    app.add_flag(std::string("--") + row.Cli, switchedOn[&row], row.Help);
  std::vector<std::string> debugValues(DebugSwitches().size());
  for (std::size_t k = 0; k < DebugSwitches().size(); ++k) {
    const TDebugSwitch& d = DebugSwitches()[k];
    debugValues[k] = d.Sound;
    app.add_option(d.Name, debugValues[k], d.Help)->check(OneOf({d.Sound, d.Loose}));
    accepts[d.Name] = std::string("one of ") + d.Sound + "," + d.Loose;
  }
  app.add_flag("--equality", options.Equality,
               "Make '=' of a theory text equality: its axioms (reflexivity, symmetry,\n"
               "transitivity, substitution for every function and predicate) come\n"
               "first. TPTP input has them whenever '=' occurs");
  app.add_flag("--no-equality-axioms", options.NoEqualityAxioms,
               "TPTP input: leave the equality axioms out, so that '=' is a relation\n"
               "of its own. The theory is weaker, so every refutation still holds");
  app.add_flag("--szs", options.Szs,
               "After each query's part of the report, print the line\n"
               "'% SZS status STATUS for NAME', NAME the file's base name without\n"
               "its extension ('Untitled' for '-'); with --out the file gets it too.\n"
               "STATUS: Theorem (refuted), ContradictoryAxioms (refuted without the\n"
               "negated query), Unsatisfiable (a TPTP problem without a conjecture\n"
               "had its axioms refuted), GaveUp (the search ended without a\n"
               "refutation), Timeout, ResourceOut (resolvent or memory limit, out of\n"
               "memory), User (SIGINT or SIGTERM), SyntaxError, InputError (file\n"
               "not readable). A syntax error, or a stop while no query is searched,\n"
               "adds one line after the report; a query never reached gets none");
  std::string derivation;
  app.add_option("--derivation", derivation,
                 "After the report, print the derivation of the last query's best\n"
                 "refutation as a Graphviz graph (dot): a node per formula with its\n"
                 "degree, an edge from each parent; 'dot -Tsvg' draws it")
      ->check(CLI::IsMember({"dot"}));
  app.add_flag("--proof", options.ProofTstp,
               "After the report, print the derivation of the last query's best\n"
               "refutation as TSTP: the axioms and the negated query it used, each\n"
               "resolvent with its parents, the last step $false; each formula's degree\n"
               "in a comment line before it. With --szs it stands between\n"
               "'% SZS output start Refutation for NAME' and '% SZS output end ...'.\n"
               "tools/check-proof checks such a derivation step by step");

  static_assert(kDefaultAutoSeconds == 60, "the help text names the default budget");
  std::string autoHelp =
      "Try a fixed sequence of search settings, each a fresh proof with a\n"
      "slice of the --timeout budget (60 s when not given); print the report\n"
      "of the first that refutes every query, then the line\n"
      "'Auto: refuted by setting K of N (OPTIONS) after SECONDS s', where\n"
      "OPTIONS give the same report in a plain run. If none does: the report\n"
      "of the one that refuted the most queries (the later among equals) and\n"
      "a line that says so. --max-resolvents and --max-memory hold for each.\n"
      "With two cores or more it runs two processes at once, in two lanes\n"
      "(settings";
  std::vector<std::vector<int>> lanes = PortfolioLanes();
  for (std::size_t lane = 0; lane < lanes.size(); ++lane)
    for (std::size_t i = 0; i < lanes[lane].size(); ++i)
      autoHelp += (i > 0 ? " then " : lane > 0 ? ", and " : " ") + std::to_string(lanes[lane][i]);
  autoHelp +=
      "): the first attempt to refute every\n"
      "query wins, the other lane is stopped at once. On one core they run\n"
      "in turn.\n"
      "The settings, in order:";
  std::vector<std::string> labels = PortfolioLabels();
  for (std::size_t i = 0; i < labels.size(); ++i)
    autoHelp += (i < 9 ? "\n   " : "\n  ") + std::to_string(i + 1) + "  " + labels[i];
  CLI::Option* autoFlag = app.add_flag("--auto", options.Auto, autoHelp);
  // The portfolio chooses the search options itself; only the output switches and the
  // consequent-test limit are the user's.
  for (CLI::Option* option : app.get_options()) {
    const auto& names = option->get_lnames();
    if (names.empty()) continue;
    std::string name = names.front();
    bool search = name == "strategy" || name == "one-refutation" || name == "equality-rule";
    for (const TOptionGroup& group : OptionGroups()) search |= name == group.Cli;
    for (const TOptionRow& row : OptionTable())
      if (row.Group == 0 && row.Menu != OptionMenu::Output && row.Cli)
        search |= name == std::string(row.Default ? "no-" : "") + row.Cli;
    if (search) autoFlag->excludes(option);
  }

  accepts["--show"] = accepts["--hide"] = "output switches, one of " + Join(SwitchNames());
  accepts["--timeout"] = "a number of seconds above 0";
  accepts["--max-resolvents"] = "a whole number from 1";
  accepts["--max-memory"] = "a number of megabytes from 1";
  if (auto missing = MissingValue(argc, argv, app, accepts)) {
    std::cerr << "velmoran: " << *missing << "\n";
    return 2;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int rc = app.exit(e);
    return rc == 0 ? 0 : 2;
  }

  options.ProofDot = derivation == "dot";
  options.Proof = options.ProofTstp || options.ProofDot;

  TSettings& p = options.Settings;
  SetMenuDefaults(p);
  for (const TStrategyRow& row : StrategyRows())
    if (strategy == row.Cli) p.Strategy = row.Strategy;
  if (oneRefutation) groupValues[oneRow.Group] = oneRow.Cli;
  for (const TOptionRow& option : OptionTable()) {
    if (!option.Flag) continue;
    if (option.Group != 0)
      p.*option.Flag = groupValues[option.Group] == option.Cli ? 1 : 0;
    else if (toggled[&option])
      p.*option.Flag = option.Default ? 0 : 1;
  }
  for (std::size_t k = 0; k < NumberRows().size(); ++k)
    p.*NumberRows()[k].Field = std::max(numbers[k], NumberRows()[k].Min);
  for (const TSwitchRow& row : SwitchRows()) p.*row.Flag = switchedOn[&row] ? 1 : 0;
  for (std::size_t k = 0; k < DebugSwitches().size(); ++k) {
    const TDebugSwitch& d = DebugSwitches()[k];
    p.*d.Flag = debugValues[k] == d.Loose ? 1 : 0;
    if (p.*d.Flag)
      std::cerr << "velmoran: " << d.Name << "=" << d.Loose << ": " << d.Warning
                << ", a refutation proves nothing\n";
  }
  p.Interactive = !options.Out;
  for (auto [list, value] : {std::pair{show, 1}, std::pair{hide, 0}}) {
    for (const std::string& name : SplitList(list)) {
      const TOptionRow* found = nullptr;
      for (const TOptionRow& option : OptionTable())
        if (IsOutputSwitch(option) && name == option.Cli) found = &option;
      if (!found) {
        std::cerr << "velmoran: unknown output switch '" << name << "' (one of "
                  << Join(SwitchNames()) << ")\n";
        return 2;
      }
      p.*found->Flag = static_cast<std::uint8_t>(value);
    }
  }
  return std::nullopt;
}

}  // namespace velmoran::cli
