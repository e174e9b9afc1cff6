#include "prover/options.h"

#include <array>

namespace velmoran {

namespace {

using P = TSettings;
constexpr OptionMenu kOut = OptionMenu::Output;
constexpr OptionMenu kProve = OptionMenu::ProveTheorem;
constexpr OptionMenu kUnify = OptionMenu::Unification;

// Captions are the menu items' texts as the user sees them (with their odd abbreviations); the
// help texts serve the command line's --help and the window's tool tips alike.
constexpr std::array<TOptionRow, 23> kTable{{
    // Flag, Caption, Menu, Group, Default, SeparatorBefore, Cli, Help
    {&P::ShowAxioms, "Axioms", kOut, 0, false, false, "axioms",
     "List the theory's formulas before each query's search"},
    {&P::ShowProgress, "Progress", kOut, 0, true, false, "progress",
     "Print each resolvent as it is stored"},
    {&P::ShowSources, "Sources", kOut, 0, true, false, "sources",
     "Name the two sources of each resolvent and refutation"},
    {&P::ShowResolvents, "Resolvents", kOut, 0, false, false, "resolvents",
     "List the stored resolvents after each query's search"},
    {&P::ShowTime, "Time", kOut, 0, true, false, "time", "Print the solving time"},
    {&P::ShowMemory, "Memory", kOut, 0, true, false, "memory",
     "Print the memory the proof used and the total allocated"},
    {&P::ShowUnsimplified, "Unsimplified", kOut, 0, false, false, "unsimplified",
     "Print each resolvent before its simplification too"},
    {&P::ShowStatistics, "Statistics", kOut, 0, false, false, "statistics",
     "Print the inference statistics after each query's search"},
    {&P::ShowDcf, "DCF", kOut, 0, false, false, "dcf",
     "Print what the detection of consequent formulas finds"},
    {&P::Interactive, "Interactive", kOut, 0, true, false, nullptr,
     "Show the report while the proof runs; off, save it as FILE.out and show it at the end"},

    {&P::TrivialCheckOnly, "Trivial check only", kProve, 'A', false, true, "trivial",
     "Self-refutation attempt and identical-text check only"},
    {&P::CheckDcf, "DCF", kProve, 'A', false, false, "dcf",
     "Also drop a resolvent that follows from a stored one"},
    {&P::CheckDcfKill, "DCF + Kill", kProve, 'A', true, false, "kill",
     "Also disable stored resolvents that follow from a new one"},
    {&P::NoRestriction, "Without restr. strategy", kProve, 'B', true, true, "none",
     "Resolve any two formulas"},
    {&P::Filtration, "Filtration strategy", kProve, 'B', false, false, "filtration",
     "Resolve two resolvents only when one lies on the other's derivation"},
    {&P::SupportSet, "Support set strategy", kProve, 'B', false, false, "support",
     "Every step involves a formula derived from the query"},

    {&P::QuantificationOn, "Quantification On", kUnify, 0, true, false, "quantification",
     "Unify by the quantifier rules and print quantifier prefixes"},
    {&P::GeneralCut, "General cut", kUnify, 0, false, false, "general-cut",
     "Replace every unifiable occurrence in both sources"},
    {&P::ExitOnFirstUnused, "Exit on first unused", kUnify, 'C', false, true, "first-unused",
     "Only the first atom of each formula"},
    {&P::ExitOnFirstMatch, "Exit on first match", kUnify, 'C', false, false, "first-match",
     "Up to the first pair that unifies"},
    {nullptr, "Exit on last match", kUnify, 'C', true, false, "last", "Every pair"},
    {&P::OneRefutation, "One refutation", kUnify, 'D', false, true, "one",
     "Stop a query's search at its first refutation"},
    {nullptr, "All refutations", kUnify, 'D', true, false, "all",
     "Search on after each refutation"},
}};

constexpr std::array<TOptionGroup, 4> kGroups{{
    {'A', "check", "Redundancy check of each new resolvent"},
    {'B', "restrict", "Restriction strategy"},
    {'C', "unify", "Atom pairs tried when two formulas are resolved"},
    {'D', "refutations", "Refutations looked for per query"},
}};

}  // namespace

std::span<const TOptionRow> OptionTable() {
  return kTable;
}

std::span<const TOptionGroup> OptionGroups() {
  return kGroups;
}

namespace {

constexpr TDebugSwitch kDebugSwitches[] = {
    {"--debug-identity", "witness", "serial", &P::SerialIdentity,
     "UNSOUND, debugging only: 'serial' makes every copy of a variable one variable with its "
     "source, which refutes non-theorems",
     "unsound identity of copies"},
    {"--debug-split", "sound", "loose", &P::LooseSplit,
     "UNSOUND, debugging only: 'loose' lets a formula resolved with itself take any atom and "
     "every atom that unifies with it as one, which refutes non-theorems",
     "unsound case splits"},
    {"--debug-unify", "sound", "loose", &P::LooseUnify,
     "UNSOUND, debugging only: 'loose' lets an existential be a value once the universals "
     "outside it are bound to anything, which refutes non-theorems",
     "unsound quantifier rules"},
};

}  // namespace

std::span<const TDebugSwitch> DebugSwitches() {
  return kDebugSwitches;
}

namespace {

constexpr TStrategyRow kStrategies[] = {
    {SearchStrategy::Linear, "linear", "Each resolvent expanded at once, from the negated query"},
    {SearchStrategy::ModifiedLinear, "modified", "Linear from every axiom in turn, the query last"},
    {SearchStrategy::BreadthFirst, "breadth", "Level by level"},
    {SearchStrategy::SmallestFirst, "smallest", "Every formula in turn, fewest atoms first"},
};

constexpr TNumberRow kNumbers[] = {
    {&P::DcfLimit, "dcf-limit", 1, "Steps of one consequent test (at least 1)"},
};

constexpr TSwitchRow kSwitches[] = {
    {&P::IdenticalUpToOrder, "identical-up-to-order",
     "The identical-text check also drops a resolvent that differs from a stored one\n"
     "only in the order of the operands of its conjunctions and disjunctions"},
    {&P::EqualityRule, "equality-rule",
     "Reason with '=' by replacing equals inside formulas, ordered so that no step\n"
     "undoes another, instead of by its symmetry, transitivity and substitution\n"
     "axioms (reflexivity stays). For TPTP input with '=', and with --equality"},
    {&P::WitnessesAcross, "witnesses-across",
     "Let an existential inside universals that are not yet fixed be the value of a\n"
     "universal of another formula: the step puts it in front, after every variable\n"
     "outside it, so that each value is chosen before the universal it replaces"},
    {&P::UnitConflicts, "unit-conflicts",
     "Smallest-first search: resolve each new formula of one atom at once with every\n"
     "formula of one atom, so that two that contradict each other end the search\n"
     "without waiting for their turn"},
};

}  // namespace

std::span<const TStrategyRow> StrategyRows() {
  return kStrategies;
}

std::span<const TNumberRow> NumberRows() {
  return kNumbers;
}

std::span<const TSwitchRow> SwitchRows() {
  return kSwitches;
}

void SetMenuDefaults(TSettings& p) {
  for (const TOptionRow& option : OptionTable())
    if (option.Flag) p.*option.Flag = option.Default ? 1 : 0;
}

}  // namespace velmoran
