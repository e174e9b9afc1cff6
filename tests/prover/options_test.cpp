// The option table against the editor window's menus: every flag under its menu item, the menus'
// order, separators, radio groups and defaults, the options of a new window, and command-line
// spellings that the parser can tell apart.
#include "prover/options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace velmoran::testing {
namespace {

using Flag = std::uint8_t TSettings::*;

struct MenuItem {
  Flag Field;
  OptionMenu Menu;
  const char* Caption;
};

// The 21 flags in their declaration order, each with the menu item it is copied from.
const MenuItem kFlags[] = {
    {&TSettings::Interactive, OptionMenu::Output, "Interactive"},
    {&TSettings::ShowTime, OptionMenu::Output, "Time"},
    {&TSettings::ShowMemory, OptionMenu::Output, "Memory"},
    {&TSettings::ShowAxioms, OptionMenu::Output, "Axioms"},
    {&TSettings::ShowResolvents, OptionMenu::Output, "Resolvents"},
    {&TSettings::ShowStatistics, OptionMenu::Output, "Statistics"},
    {&TSettings::CheckDcf, OptionMenu::ProveTheorem, "DCF"},
    {&TSettings::CheckDcfKill, OptionMenu::ProveTheorem, "DCF + Kill"},
    {&TSettings::NoRestriction, OptionMenu::ProveTheorem, "Without restr. strategy"},
    {&TSettings::SupportSet, OptionMenu::ProveTheorem, "Support set strategy"},
    {&TSettings::Filtration, OptionMenu::ProveTheorem, "Filtration strategy"},
    {&TSettings::ShowUnsimplified, OptionMenu::Output, "Unsimplified"},
    {&TSettings::ShowProgress, OptionMenu::Output, "Progress"},
    {&TSettings::ShowSources, OptionMenu::Output, "Sources"},
    {&TSettings::ExitOnFirstMatch, OptionMenu::Unification, "Exit on first match"},
    {&TSettings::ExitOnFirstUnused, OptionMenu::Unification, "Exit on first unused"},
    {&TSettings::ShowDcf, OptionMenu::Output, "DCF"},
    {&TSettings::GeneralCut, OptionMenu::Unification, "General cut"},
    {&TSettings::TrivialCheckOnly, OptionMenu::ProveTheorem, "Trivial check only"},
    {&TSettings::OneRefutation, OptionMenu::Unification, "One refutation"},
    {&TSettings::QuantificationOn, OptionMenu::Unification, "Quantification On"},
};

// One menu as "-" for a separator and "Caption (G)*": radio group G, checked in a new window.
std::string Layout(OptionMenu menu) {
  std::string text;
  for (const TOptionRow& option : OptionTable()) {
    if (option.Menu != menu) continue;
    if (option.SeparatorBefore) text += "-|";
    text += option.Caption;
    if (option.Group) text += std::string(" (") + option.Group + ")";
    if (option.Default) text += "*";
    text += "|";
  }
  return text;
}

TEST(OptionTable, EveryFlagIsOneRowUnderItsMenuItem) {
  int flagRows = 0;
  for (const TOptionRow& option : OptionTable()) flagRows += option.Flag != nullptr;
  EXPECT_EQ(flagRows, 21);
  for (const MenuItem& item : kFlags) {
    int rows = 0;
    for (const TOptionRow& option : OptionTable()) {
      if (option.Flag != item.Field) continue;
      ++rows;
      EXPECT_STREQ(option.Caption, item.Caption);
      EXPECT_EQ(option.Menu, item.Menu) << item.Caption;
    }
    EXPECT_EQ(rows, 1) << item.Caption;
  }
}

TEST(OptionTable, MenusInOrderWithSeparatorsGroupsAndDefaults) {
  EXPECT_EQ(Layout(OptionMenu::Output),
            "Axioms|Progress*|Sources*|Resolvents|Time*|Memory*|Unsimplified|Statistics|DCF|"
            "Interactive*|");
  // The commands above the radio groups ("Stop" ... "Modified linear search") are the window's.
  EXPECT_EQ(Layout(OptionMenu::ProveTheorem),
            "-|Trivial check only (A)|DCF (A)|DCF + Kill (A)*|"
            "-|Without restr. strategy (B)*|Filtration strategy (B)|Support set strategy (B)|");
  EXPECT_EQ(Layout(OptionMenu::Unification),
            "Quantification On*|General cut|"
            "-|Exit on first unused (C)|Exit on first match (C)|Exit on last match (C)*|"
            "-|One refutation (D)|All refutations (D)*|");
}

TEST(OptionTable, RadioGroupsAreContiguousWithOneDefaultAndAnOption) {
  std::set<char> known;
  for (const TOptionGroup& group : OptionGroups()) {
    EXPECT_TRUE(known.insert(group.Group).second) << "group listed twice: " << group.Group;
    std::vector<const TOptionRow*> rows;
    for (const TOptionRow& option : OptionTable())
      if (option.Group == group.Group) rows.push_back(&option);
    ASSERT_GE(rows.size(), 2u) << group.Group;
    int defaults = 0, flagless = 0;
    for (const TOptionRow* row : rows) {
      defaults += row->Default;
      flagless += row->Flag == nullptr;
      EXPECT_EQ(row->Menu, rows.front()->Menu) << row->Caption;
    }
    EXPECT_EQ(defaults, 1) << group.Group;
    EXPECT_LE(flagless, 1) << group.Group;
    // Within its menu no item of anything else stands between the group's first and last item.
    std::string menu;
    for (const TOptionRow& option : OptionTable())
      if (option.Menu == rows.front()->Menu) menu += option.Group ? option.Group : '.';
    std::size_t first = menu.find(group.Group), last = menu.rfind(group.Group);
    EXPECT_EQ(menu.substr(first, last - first + 1), std::string(rows.size(), group.Group)) << menu;
  }
  for (const TOptionRow& option : OptionTable()) {
    if (option.Group) {
      EXPECT_TRUE(known.count(option.Group)) << option.Caption << " has no group option";
    } else {
      EXPECT_NE(option.Flag, nullptr) << option.Caption << ": only a radio item may be flagless";
    }
  }
}

TEST(SetMenuDefaults, GivesTheOptionsOfANewWindowAndNothingElse) {
  const std::vector<Flag> on{&TSettings::Interactive,   &TSettings::ShowTime,
                             &TSettings::ShowMemory,    &TSettings::CheckDcfKill,
                             &TSettings::NoRestriction, &TSettings::ShowProgress,
                             &TSettings::ShowSources,   &TSettings::QuantificationOn};
  TSettings p;
  for (const MenuItem& item : kFlags) p.*item.Field = 7;
  p.DcfLimit = 3;
  p.Strategy = SearchStrategy::BreadthFirst;
  SetMenuDefaults(p);
  for (const MenuItem& item : kFlags)
    EXPECT_EQ(p.*item.Field, std::count(on.begin(), on.end(), item.Field)) << item.Caption;
  EXPECT_EQ(p.DcfLimit, 3);
  EXPECT_EQ(p.Strategy, SearchStrategy::BreadthFirst);
}

// The command line reads an "&Output" toggle from the --show/--hide lists, any other toggle as
// --NAME or --no-NAME, a radio item as --GROUP=VALUE; next to them stand its own options.
TEST(OptionTable, CommandLineSpellingsAreDistinctAndWellFormed) {
  auto wellFormed = [](const std::string& name) {
    if (name.empty() || name.front() == '-' || name.back() == '-') return false;
    for (char c : name)
      if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
    return true;
  };
  std::set<std::string> options{
      "--help", "--version", "--strategy", "--dcf-limit",   "--show",           "--hide",
      "--out",  "--timeout", "--bytes",    "--syntax-only", "--max-resolvents", "--one-refutation"};
  std::set<std::string> switches;
  for (const TOptionGroup& group : OptionGroups()) {
    ASSERT_NE(group.Cli, nullptr);
    EXPECT_TRUE(wellFormed(group.Cli)) << group.Cli;
    EXPECT_TRUE(options.insert(std::string("--") + group.Cli).second) << group.Cli;
  }
  for (const TOptionRow& option : OptionTable()) {
    if (!option.Cli) {
      // Only Interactive goes without a name: --out turns it off.
      EXPECT_EQ(option.Flag, &TSettings::Interactive) << option.Caption;
      continue;
    }
    EXPECT_TRUE(wellFormed(option.Cli)) << option.Cli;
    std::string spelling;
    if (option.Group) {
      for (const TOptionGroup& group : OptionGroups())
        if (group.Group == option.Group) spelling = std::string("--") + group.Cli + "=";
      spelling += option.Cli;
    } else if (option.Menu == OptionMenu::Output) {
      EXPECT_TRUE(switches.insert(option.Cli).second) << option.Cli;
      continue;
    } else {
      spelling = std::string(option.Default ? "--no-" : "--") + option.Cli;
    }
    EXPECT_TRUE(options.insert(spelling).second) << spelling;
  }
  EXPECT_EQ(switches.size(), 9u);
}

// Next to the 21 menu flags, the settings the command line alone sets have rows too: each
// strategy once, the consequent-test limit, the order-blind identity check and the debugging
// rules, each spelled once and apart from every other option.
TEST(OptionTable, SettingsOutsideTheMenusHaveRowsOfTheirOwn) {
  std::set<SearchStrategy> strategies;
  std::set<std::string> values;
  for (const TStrategyRow& row : StrategyRows()) {
    EXPECT_TRUE(strategies.insert(row.Strategy).second) << row.Cli;
    EXPECT_TRUE(values.insert(row.Cli).second) << row.Cli;
  }
  EXPECT_EQ(strategies, (std::set<SearchStrategy>{
                            SearchStrategy::Linear, SearchStrategy::ModifiedLinear,
                            SearchStrategy::BreadthFirst, SearchStrategy::SmallestFirst}));

  ASSERT_EQ(NumberRows().size(), 1u);
  EXPECT_EQ(NumberRows()[0].Field, &TSettings::DcfLimit);
  EXPECT_GE(TSettings{}.DcfLimit, NumberRows()[0].Min);
  std::vector<Flag> flags;
  for (const TSwitchRow& row : SwitchRows()) flags.push_back(row.Flag);
  for (const TDebugSwitch& row : DebugSwitches()) flags.push_back(row.Flag);
  EXPECT_EQ(flags.size(), 7u);
  for (Flag flag : {&TSettings::IdenticalUpToOrder, &TSettings::EqualityRule,
                    &TSettings::WitnessesAcross, &TSettings::UnitConflicts,
                    &TSettings::SerialIdentity, &TSettings::LooseSplit, &TSettings::LooseUnify})
    EXPECT_EQ(std::count(flags.begin(), flags.end(), flag), 1);

  std::set<std::string> names;
  for (const TOptionGroup& group : OptionGroups()) names.insert(std::string("--") + group.Cli);
  for (const TOptionRow& row : OptionTable())
    if (row.Cli && !row.Group && row.Menu != OptionMenu::Output)
      names.insert(std::string(row.Default ? "--no-" : "--") + row.Cli);
  for (const TNumberRow& row : NumberRows())
    EXPECT_TRUE(names.insert(std::string("--") + row.Cli).second) << row.Cli;
  for (const TSwitchRow& row : SwitchRows())
    EXPECT_TRUE(names.insert(std::string("--") + row.Cli).second) << row.Cli;
  for (const TDebugSwitch& row : DebugSwitches())
    EXPECT_TRUE(names.insert(row.Name).second) << row.Name;
}

}  // namespace
}  // namespace velmoran::testing
