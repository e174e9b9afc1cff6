#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <map>
#include <sstream>
#include <utility>

#include "prover/options.h"

namespace velmoran::cli {

namespace {

// The options of the prover's menus are made from the option table: a toggle of the "&Output"
// menu is a name in --show/--hide, any other toggle a flag that leaves its default, and a radio
// group one option whose values are its items.

bool IsOutputSwitch(const TOptionSpec& option) {
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
  for (const TOptionSpec& option : OptionTable())
    if (IsOutputSwitch(option)) names.emplace_back(option.Cli);
  return names;
}

// The row that --one-refutation selects: the command line spelled it so before its radio group
// had an option of its own.
const TOptionSpec& OneRefutationRow() {
  for (const TOptionSpec& option : OptionTable())
    if (option.Flag == &TPLProgram::OneRefutation) return option;
  return OptionTable().front();  // unreachable: the table holds every flag
}

}  // namespace

void CopySettings(const TPLProgram& from, TPLProgram& to) {
  for (const TOptionSpec& option : OptionTable())
    if (option.Flag) to.*option.Flag = from.*option.Flag;
  to.Strategy = from.Strategy;
  to.DcfLimit = from.DcfLimit;
}

std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  CLI::App app{
      "Velmoran: a theorem prover for first-order fuzzy predicate logic.\n"
      "Proves each theory FILE (\"-\" is standard input) and prints its report."};
  app.set_version_flag("--version", std::string("velmoran ") + VELMORAN_VERSION);

  std::string strategy = "linear";
  std::string show, hide;
  int dcfLimit = 10;
  bool oneRefutation = false;
  std::map<char, std::string> groupValues;     // radio group -> the chosen item's value
  std::map<const TOptionSpec*, bool> toggled;  // toggle row -> given on the command line

  app.add_option("files", options.Files, "Theory files")->required()->type_name("FILE...");
  app.add_option("-s,--strategy", strategy, "Search strategy")
      ->check(CLI::IsMember({"linear", "modified", "breadth"}))
      ->capture_default_str();

  std::map<char, CLI::Option*> groupOptions;
  for (const TOptionGroup& group : OptionGroups()) {
    std::vector<std::string> values;
    std::vector<std::pair<std::string, std::string>> items;
    std::string& value = groupValues[group.Group];
    for (const TOptionSpec& option : OptionTable()) {
      if (option.Group != group.Group) continue;
      values.emplace_back(option.Cli);
      items.emplace_back(option.Cli, option.Help);
      if (option.Default) value = option.Cli;
    }
    groupOptions[group.Group] =
        app.add_option(std::string("--") + group.Cli, value, ValueList(group.Help, items))
            ->check(CLI::IsMember(values))
            ->capture_default_str();
  }
  const TOptionSpec& oneRow = OneRefutationRow();
  for (const TOptionGroup& group : OptionGroups())
    if (group.Group == oneRow.Group)
      app.add_flag("--one-refutation", oneRefutation,
                   std::string("Same as --") + group.Cli + "=" + oneRow.Cli)
          ->excludes(groupOptions[group.Group]);

  for (const TOptionSpec& option : OptionTable()) {
    if (option.Group != 0 || option.Menu == OptionMenu::Output || !option.Cli) continue;
    if (option.Default)
      app.add_flag(std::string("--no-") + option.Cli, toggled[&option],
                   std::string(option.Help) + " (on by default: this turns it off)");
    else
      app.add_flag(std::string("--") + option.Cli, toggled[&option], option.Help);
  }

  app.add_option("--dcf-limit", dcfLimit, "Steps of one consequent test (at least 1)")
      ->capture_default_str();
  std::vector<std::pair<std::string, std::string>> switches;
  std::vector<std::string> onByDefault;
  for (const TOptionSpec& option : OptionTable()) {
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
  if (oneRefutation) groupValues[oneRow.Group] = oneRow.Cli;
  for (const TOptionSpec& option : OptionTable()) {
    if (!option.Flag) continue;
    if (option.Group != 0)
      p.*option.Flag = groupValues[option.Group] == option.Cli ? 1 : 0;
    else if (toggled[&option])
      p.*option.Flag = option.Default ? 0 : 1;
  }
  p.DcfLimit = dcfLimit < 1 ? 1 : dcfLimit;
  p.Interactive = !options.Out;
  for (auto [list, value] : {std::pair{show, 1}, std::pair{hide, 0}}) {
    for (const std::string& name : SplitList(list)) {
      const TOptionSpec* found = nullptr;
      for (const TOptionSpec& option : OptionTable())
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
