// The prover's options, in one table.
//
// Every option flag of `TSettings` is one row: the flag, the caption of its menu item in the
// editor window, the menu it sits in, its radio group (0 for a toggle), its default in a new
// window, its command-line spelling and its help text. The command line's parser and help, the
// window's menus and `SetMenuDefaults` are all made from it, so a new option is one row here.
//
// Radio groups are lettered 'A' to 'D'. A row whose `Flag` is null is a radio item with no flag
// of its own ("Exit on last match", "All refutations"): it is the state in which every other flag
// of its group is off. Rows stand in menu order; `SeparatorBefore` marks where a menu draws a
// separator (a radio group may span one: group C does).
//
// Command-line spelling (`Cli`):
//   toggle in the "&Output" menu       a name in the --show=LIST / --hide=LIST lists
//   other toggle, default off           --NAME turns it on
//   other toggle, default on            --no-NAME turns it off
//   radio item                          VALUE of --GROUP=VALUE, GROUP from `OptionGroups`
//   null                                the command line sets the flag its own way: `Interactive`
//                                       is off exactly when the report goes to FILE.out (--out)
// The command line keeps --one-refutation as another spelling of --refutations=one.
//
// The settings that are not menu flags have tables of their own below: the search strategies,
// the whole-number settings, the switches of the command line and the debugging rules. With the
// option rows they describe every field of `TSettings`.
#pragma once

#include <cstdint>
#include <span>

#include "prover/settings.h"

namespace velmoran {

enum class OptionMenu : std::uint8_t { Output, ProveTheorem, Unification };

struct TOptionRow {
  std::uint8_t TSettings::*Flag;  // null: the radio item that clears its group
  const char* Caption;
  OptionMenu Menu;
  char Group;  // 0: toggle; 'A'..'D': radio group
  bool Default;
  bool SeparatorBefore;
  const char* Cli;
  const char* Help;
};

struct TOptionGroup {
  char Group;
  const char* Cli;  // the command line's --NAME=VALUE
  const char* Help;
};

// The debugging rules: each replays an unsound rule of the calculus as first written, so that a
// missing proof can be traced to the sound rule that refuses its step. The command line alone sets
// them, as --NAME=SOUND or --NAME=LOOSE; no menu shows them.
struct TDebugSwitch {
  const char* Name;  // the command line's --NAME
  const char* Sound;
  const char* Loose;
  std::uint8_t TSettings::*Flag;  // on: the loose rule
  const char* Help;
  const char* Warning;  // what a loose run prints on standard error
};

// One search strategy: the value of the command line's -s/--strategy that selects it.
struct TStrategyRow {
  SearchStrategy Strategy;
  const char* Cli;
  const char* Help;
};

// A whole-number setting: the command line's --NAME=N, N at least `Min`.
struct TNumberRow {
  std::int32_t TSettings::*Field;
  const char* Cli;
  std::int32_t Min;
  const char* Help;
};

// A switch that the command line alone sets, off by default: --NAME turns it on.
struct TSwitchRow {
  std::uint8_t TSettings::*Flag;
  const char* Cli;
  const char* Help;
};

// All option rows, in menu order within each menu.
std::span<const TOptionRow> OptionTable();
// The radio groups and their command-line names.
std::span<const TOptionGroup> OptionGroups();
std::span<const TDebugSwitch> DebugSwitches();
// The strategies in the order the command line's help lists them.
std::span<const TStrategyRow> StrategyRows();
std::span<const TNumberRow> NumberRows();
std::span<const TSwitchRow> SwitchRows();

// The option set of a new editor window, for front ends that start from it.
void SetMenuDefaults(TSettings& settings);

}  // namespace velmoran
