#include "prover/search.h"

#include <pthread.h>

#include <algorithm>
#include <new>
#include <unordered_set>

#include "logic/logic_state.h"
#include "logic/print.h"
#include "logic/walk.h"
#include "parser/formula_parser.h"
#include "prover/consequence.h"
#include "prover/paramodulation.h"
#include "prover/resolution.h"
#include "prover/simplify.h"
#include "prover/unify.h"
#include "prover/witness.h"
#include "report/measure.h"
#include "report/report.h"

namespace velmoran {

namespace {

void SolveQuery(TPLProgram& program, TFALFormula* query);
void ProveQuery(TPLProgram& program);
// Runs the chosen strategy for the query, the last of the `n` source formulas.
void SearchQuery(TPLProgram& program, TFALFormula* query, std::size_t n);
void ExpandLinear(TPLProgram& program, TFALFormula* centre);
void ExpandResolvent(TPLProgram& program, TFALFormula* centre);
void ExpandSource(TPLProgram& program, TFALFormula* centre);
void ExpandSourceOnResolvents(TPLProgram& program, TFALFormula* centre);
void ResolvePair(TPLProgram& program, TFALFormula* centre, TFALFormula* partner);
void ResolvePairLinear(TPLProgram& program, TFALFormula* centre, TFALFormula* partner);
bool FiltrationAllows(const TFALFormula& c, const TFALFormula& p);
bool InDerivation(const TFALFormula* x, const TFALFormula* t);

}  // namespace

SearchState Search;

namespace {

std::string Name(char list, std::size_t index) {
  return list + std::to_string(index);
}

// A stopped search does no visible work any more (every pair procedure would return at its first
// atom pair), so the loops end at once instead of visiting every remaining pair: that visit costs
// a binding reset and two names per pair and, with thousands of resolvents, seconds.
bool Stopped(const TPLProgram& program) {
  return Report.SearchStopped || program.StopRequested;
}

// The restriction strategy: which record pairs may be resolved at all.
bool RestrictionAllows(const TPLProgram& p, const TFALFormula& c, const TFALFormula& q) {
  return p.NoRestriction || (p.Filtration && FiltrationAllows(c, q)) ||
         (p.SupportSet && (c.SupportMark || q.SupportMark));
}

void StoreResolvent(TPLProgram& program, TFALFormula* r) {
  if (program.ShowProgress) {
    std::string line;
    if (program.ShowSources)
      line = "R" + std::to_string(Statistics.ResolventCount) + " [" + Report.SourceName + "&" +
             Report.PartnerName + "] : ";
    AppendFormulaText(*r, line);
    AddLine(program, std::move(line));
  }
  program.Resolvents.push_back(r);
  KillConsequents(r);
  ++Statistics.ResolventCount;
  Search.LevelProduced = true;
}

// Simplifies, checks and stores a new resolvent of the centre `c`, or reports it as a refutation;
// with `linear`, expands a stored one at once.
void TakeResolvent(TPLProgram& program, TFALFormula* c, TFALFormula* r, bool linear) {
  if (program.ShowUnsimplified)
    AddLine(program, "[" + Report.SourceName + "&" + Report.PartnerName + "] : " + FormulaText(*r));
  Simplify(*r);
  ComputePolarity(r->Root);
  r = CheckResolvent(r);
  if (r && r->Root->Constant == -1) {
    ReportRefutation(*c, *r);
    delete r;
  } else if (r && r->Root->Constant == 1) {
    ++Statistics.RemovedTautologies;
    delete r;
  } else if (r) {
    std::size_t index = program.Resolvents.size();
    // Only where a step may have set existentials free: a witness makes more atoms one, and
    // the consequent tests over records full of them grow with every step they take. Such
    // a step is a split on an instance inside an existential, or a universal bound to a
    // witness: f(c) resolved with ∀X [f(X) → ∃Y1 [g(Y1) ∧ ¬h(X, Y1)]] leaves a Y1 that
    // later steps must find again (Pelletier 44 gets h(c, Y1) from another axiom's g(Y1)
    // and closes with this one). The debugging identity joins copies by their source's
    // serial; a fresh one would part them.
    if (r->FreesWitnesses && !program.SerialIdentity) DeclareResolventWitnesses(*r);
    StoreResolvent(program, r);
    if (linear) {
      if (Search.Depth < Search.MaxDepth) {
        const std::string sourceName = Report.SourceName;
        const std::string partnerName = Report.PartnerName;
        Report.SourceName = Name('R', index);
        ++Search.Depth;
        ExpandLinear(program, r);
        --Search.Depth;
        Report.SourceName = sourceName;
        Report.PartnerName = partnerName;
      } else if (!Search.DepthNoted) {
        Search.DepthNoted = true;
        AddLine(program, "Search depth limit " + std::to_string(Search.MaxDepth) +
                             " reached: deeper resolvents are stored but not expanded.");
      }
    }
  }
}

// A resolvent that simplifies to true is dropped as soon as it is made, so it need not be made.
// Made all the same where the run shows what making it shows: each resolvent unsimplified, or
// the statistics, whose counts of simplifications stay comparable between runs so; and with a
// proof wanted, whose TSTP names number the variables in the order they were made.
bool SkipsTautologies(const TPLProgram& program) {
  return !program.ShowUnsimplified && !program.ShowStatistics && !Report.ProofWanted;
}

// The resolvents of `c` and `p` on each pair of their atoms; false where the pair may not be
// resolved at all, or where the run is to stop or to leave the pair.
bool ResolveAtoms(TPLProgram& program, TFALFormula* c, TFALFormula* p, bool linear) {
  ++Statistics.PairsTried;
  if (program.CheckDcfKill && (c->Disabled || p->Disabled)) return false;
  if (!RestrictionAllows(program, *c, *p)) return false;
  ClearBindings();
  if (!c->FirstAtom || !p->FirstAtom) return false;
  for (TAtom* a = c->FirstAtom; a; a = a->Next()) {
    for (TAtom* b = p->FirstAtom; b; b = b->Next()) {
      program.Yield();
      if (program.StopRequested) return false;
      Unifier.OneRecord = c == p;
      Unifier.AcrossRecords = c != p && program.WitnessesAcross;
      bool unified = UnifyAtoms(a, b);
      Unifier.OneRecord = Unifier.AcrossRecords = false;
      if (unified) {
        bool tautology = false;
        TFALFormula* r = MakeResolvent(*c, *p, a, FalseInFirst(*a, *b), b,
                                       SkipsTautologies(program) ? &tautology : nullptr);
        if (tautology) {
          ++Statistics.RemovedTautologies;
        } else if (!r) {
          if (program.ExitOnFirstMatch || program.ExitOnFirstUnused) return false;
          continue;
        } else {
          TakeResolvent(program, c, r, linear);
        }
        if (program.ExitOnFirstMatch) return false;
      }
      if (program.ExitOnFirstUnused) return false;
    }
  }
  return true;
}

void ResolvePairWith(TPLProgram& program, TFALFormula* c, TFALFormula* p, bool linear) {
  if (!ResolveAtoms(program, c, p, linear)) return;
  if (program.EqualityRule && c != p) {
    // Both ways round: the equations of either record replace terms of the other. A record the
    // linear recursion disabled meanwhile takes no further step.
    auto goOn = [&] {
      program.Yield();
      return !program.StopRequested && !(program.CheckDcfKill && (c->Disabled || p->Disabled));
    };
    auto take = [&](TFALFormula* r) {
      TakeResolvent(program, c, r, linear);
      return goOn();
    };
    Paramodulate(*c, *p, take);
    if (goOn()) Paramodulate(*p, *c, take);
  }
}

// Pairs the centre with every record of `list`, newest first; the count is taken once.
template <class Pair>
void PairWithList(TPLProgram& program, TFALFormula* centre, std::vector<TFALFormula*>& list,
                  char name, Pair pair) {
  for (std::size_t i = list.size(); i-- > 0 && !Stopped(program);) {
    Report.PartnerName = Name(name, i);
    pair(program, centre, list[i]);
  }
}

void BreadthFirst(TPLProgram& program, std::size_t n) {
  auto& formulas = program.Formulas;
  for (std::size_t i = n; i-- > 0;) {
    Report.SourceName = Name('F', i);
    ExpandSource(program, formulas[i]);
    program.Yield();
    if (Stopped(program)) break;
  }
  while (Search.LevelProduced && !Stopped(program)) {
    Search.LevelProduced = false;
    Search.NextLevelStart = Statistics.ResolventCount;
    for (std::int32_t j = static_cast<std::int32_t>(program.Resolvents.size()) - 1;
         j >= Search.LevelStart; --j) {
      Report.SourceName = Name('R', j);
      ExpandResolvent(program, program.Resolvents[j]);
      program.Yield();
      if (Stopped(program)) break;
    }
    Search.LevelStart = Search.NextLevelStart;
    for (std::size_t i = n; i-- > 0;) {
      Report.SourceName = Name('F', i);
      ExpandSourceOnResolvents(program, formulas[i]);
      program.Yield();
      if (Stopped(program)) break;
    }
  }
}

std::size_t AtomCount(const TFALFormula& r) {
  std::size_t n = 0;
  for (TAtom* a = r.FirstAtom; a; a = a->Next()) ++n;
  return n;
}

// A record of the smallest-first search, waiting to be taken or taken.
struct TWaiting {
  std::size_t Atoms;
  TFALFormula* Record;
  std::string Name;
  bool Taken = false;
};

// One pick in this many takes the record that has waited longest instead of the smallest: a
// stream of short resolvents (p(f(a)), p(f(f(a))), ...) would otherwise keep every longer record
// waiting for ever.
constexpr std::size_t kOldestPick = 5;

// Every record is taken once, fewest atoms first (ties: the one that came first), and paired
// with itself and, both ways round, with every record taken before it: the two orders differ
// (every occurrence in the centre that unifies with the chosen atom is cut, only the one in the
// partner). A short resolvent is resolved at once however deep it lies, where the linear
// strategies first finish the subtree of every earlier resolvent and breadth-first its level.
void SmallestFirst(TPLProgram& program, std::size_t n) {
  std::vector<TWaiting> records;   // in the order they came
  std::vector<std::size_t> heap;   // indexes into `records`, the smallest on top
  std::vector<std::size_t> taken;  // indexes into `records`, in the order taken
  auto larger = [&records](std::size_t x, std::size_t y) {
    return records[x].Atoms != records[y].Atoms ? records[x].Atoms > records[y].Atoms : x > y;
  };
  auto wait = [&](TFALFormula* r, std::string name) {
    records.push_back({AtomCount(*r), r, std::move(name)});
    heap.push_back(records.size() - 1);
    std::push_heap(heap.begin(), heap.end(), larger);
  };
  for (std::size_t i = n; i-- > 0;) wait(program.Formulas[i], Name('F', i));
  // With unit conflicts: the records of one atom so far, oldest (the axioms') first, and the
  // first resolvent not yet met with them. Two records of one atom resolve to a constant, so the
  // check adds nothing to search with: it finds a refutation between two short records as soon
  // as the second is made, where the search would reach the pair only at the second's turn,
  // after every pair of the records before it. A report differs only from the first refutation
  // the check found on.
  std::vector<std::pair<TFALFormula*, std::string>> units;
  std::size_t met = 0;
  if (program.UnitConflicts)
    for (std::size_t i = 0; i < n; ++i)
      if (AtomCount(*program.Formulas[i]) == 1)
        units.emplace_back(program.Formulas[i], Name('F', i));
  auto meetUnits = [&] {
    if (!program.UnitConflicts) return;
    const std::string source = Report.SourceName, partner = Report.PartnerName;
    for (; met < program.Resolvents.size() && !Stopped(program); ++met) {
      TFALFormula* r = program.Resolvents[met];
      if (AtomCount(*r) != 1) continue;
      Report.SourceName = Name('R', met);
      for (std::size_t i = 0; i < units.size() && !Stopped(program); ++i) {
        Report.PartnerName = units[i].second;
        ResolveAtoms(program, r, units[i].first, false);
      }
      units.emplace_back(r, Name('R', met));
    }
    Report.SourceName = source;
    Report.PartnerName = partner;
  };
  std::size_t queued = 0;
  std::size_t oldest = 0;  // no record before it waits
  for (std::size_t pick = 1; !Stopped(program); ++pick) {
    for (; queued < program.Resolvents.size(); ++queued)
      wait(program.Resolvents[queued], Name('R', queued));
    // The heap keeps records taken by age until they come to its top.
    while (!heap.empty() && records[heap.front()].Taken) {
      std::pop_heap(heap.begin(), heap.end(), larger);
      heap.pop_back();
    }
    while (oldest < records.size() && records[oldest].Taken) ++oldest;
    if (heap.empty()) break;
    std::size_t g = heap.front();
    if (pick % kOldestPick == 0) {
      g = oldest;
    } else {
      std::pop_heap(heap.begin(), heap.end(), larger);
      heap.pop_back();
    }
    TWaiting& given = records[g];
    given.Taken = true;
    // Disabled while it waited: it follows from a newer record, whose own turn comes.
    if (program.CheckDcfKill && given.Record->Disabled) continue;
    Report.SourceName = Report.PartnerName = given.Name;
    ResolvePair(program, given.Record, given.Record);
    meetUnits();
    for (std::size_t i = taken.size(); i-- > 0 && !Stopped(program);) {
      const TWaiting& p = records[taken[i]];
      Report.SourceName = given.Name;
      Report.PartnerName = p.Name;
      ResolvePair(program, given.Record, p.Record);
      meetUnits();
      if (Stopped(program)) break;
      Report.SourceName = p.Name;
      Report.PartnerName = given.Name;
      ResolvePair(program, p.Record, given.Record);
      meetUnits();
    }
    taken.push_back(g);
    program.Yield();
  }
}

// An allocation that fails ends the proof as the stop command would. What was half built when it
// failed is abandoned (the object is replaced after a stop, never reused), so nothing touches it.
void NoteOutOfMemory(TPLProgram& program) {
  program.OutOfMemory = 1;
  program.StopRequested = 1;
}

void RunProofUnguarded(TPLProgram& program) {
  Activate(&program);
  // A run never reports what an earlier run of the same object found.
  program.RefutationFound = 0;
  program.AxiomsRefuted = 0;
  Report.BestDegree = 0;
  Report.BestSubstitution.clear();
  program.ClearFormulas();
  Measure.StartMemory = Measure.PeakMemory = HeapBytesInUse();
  Measure.ProofStartTime = Now();
  Measure.ProofEndTime = 0;
  const TheoryEnd end = ForEachFormula(program, program.SourceText ? program.SourceText : "",
                                       [&program](TFALFormula* record, std::int32_t) {
                                         Simplify(*record);
                                         if (record->IsQuery())
                                           SolveQuery(program, record);
                                         else
                                           program.Formulas.push_back(record);
                                       });
  if (end == TheoryEnd::Stopped) return;
  if (end == TheoryEnd::SyntaxError) program.ClearFormulas();
  Logic.Objects.Release();  // so that the closing lines count only what the proof still holds
  WriteClosingLines(program);
}

}  // namespace

void RunProof(TPLProgram& program) {
  program.OutOfMemory = 0;
  try {
    RunProofUnguarded(program);
  } catch (const std::bad_alloc&) {
    NoteOutOfMemory(program);
  }
  Logic.Objects.Release();
}

void NegateQuery(TFALFormula& query) {
  Negate(query.Root);
  if (query.Text.empty()) query.Text = PrintedText(*query.Root);
}

namespace {

void SolveQuery(TPLProgram& program, TFALFormula* query) {
  NegateQuery(*query);
  program.Formulas.push_back(query);
  query->SupportMark = 1;
  query->QueryUses = 1;
  query->Walk(WalkMode::ResetVariables, nullptr);
  ProveQuery(program);
  program.Formulas.pop_back();
  delete query;
}

void ProveQuery(TPLProgram& program) {
  program.ClearResolvents();
  ResetReportState();
  Search = SearchState{.MaxDepth = Search.MaxDepth};
  Consequence = ConsequenceState{};
  // An earlier search stopped by running out of memory may have left the unifier mid-pass.
  Unifier = UnifierState{};
  Search.LevelProduced = true;
  program.Bindings.clear();
  program.RefutationFound = 0;
  program.AxiomsRefuted = 0;

  WriteQueryHeader(program);
  std::size_t n = program.Formulas.size();
  TFALFormula* query = program.Formulas[n - 1];
  // Out of memory inside the search: the resolvents stored so far are still listed, as after the
  // stop command. A failure while listing them reaches the run's own guard.
  try {
    SearchQuery(program, query, n);
  } catch (const std::bad_alloc&) {
    NoteOutOfMemory(program);
  }
  WriteResolventList(program);
  WriteStatistics(program);
  SamplePeakMemory();
  // A stopped proof leaves its resolvents to the prover object's end: a front end stops to have
  // the window or the command line back at once, and freeing a gigabyte of formulas takes
  // seconds. The next query, or the object's destructor, frees them.
  if (!program.StopRequested) program.ClearResolvents();
  if (program.OnQueryDone) program.OnQueryDone(program);
}

void SearchQuery(TPLProgram& program, TFALFormula* query, std::size_t n) {
  switch (program.Strategy) {
    case SearchStrategy::Linear:
      Report.SourceName = Name('F', n - 1);
      ExpandLinear(program, query);
      break;
    case SearchStrategy::ModifiedLinear:
      for (std::size_t i = n - 1; i-- > 0;) {
        Report.SourceName = Name('F', i);
        ExpandLinear(program, program.Formulas[i]);
        program.Yield();
        if (Stopped(program)) break;
      }
      Report.SourceName = Name('F', n - 1);
      if (!Stopped(program)) ExpandLinear(program, query);
      break;
    case SearchStrategy::BreadthFirst:
      BreadthFirst(program, n);
      break;
    case SearchStrategy::SmallestFirst:
      SmallestFirst(program, n);
      break;
  }
}

void ExpandLinear(TPLProgram& program, TFALFormula* centre) {
  PairWithList(program, centre, program.Formulas, 'F', ResolvePairLinear);
  if (Stopped(program)) return;
  PairWithList(program, centre, program.Resolvents, 'R', ResolvePairLinear);
}

void ExpandResolvent(TPLProgram& program, TFALFormula* centre) {
  PairWithList(program, centre, program.Formulas, 'F', ResolvePair);
  if (Stopped(program)) return;
  PairWithList(program, centre, program.Resolvents, 'R', ResolvePair);
}

void ExpandSource(TPLProgram& program, TFALFormula* centre) {
  PairWithList(program, centre, program.Formulas, 'F', ResolvePair);
}

void ExpandSourceOnResolvents(TPLProgram& program, TFALFormula* centre) {
  PairWithList(program, centre, program.Resolvents, 'R', ResolvePair);
}

void ResolvePair(TPLProgram& program, TFALFormula* centre, TFALFormula* partner) {
  ResolvePairWith(program, centre, partner, false);
}

void ResolvePairLinear(TPLProgram& program, TFALFormula* centre, TFALFormula* partner) {
  ResolvePairWith(program, centre, partner, true);
}

bool FiltrationAllows(const TFALFormula& c, const TFALFormula& p) {
  if (!c.Source1 || !p.Source1) return true;
  return InDerivation(&p, &c) || InDerivation(&c, &p);
}

bool InDerivation(const TFALFormula* x, const TFALFormula* t) {
  // Derivations share ancestors, so the search remembers where it has been: a plain recursion
  // would take time exponential in the derivation's depth.
  std::vector<const TFALFormula*> pending{x};
  std::unordered_set<const TFALFormula*> seen{x};
  while (!pending.empty()) {
    const TFALFormula* r = pending.back();
    pending.pop_back();
    if (r == t) return true;
    for (const TFALFormula* s : {r->Source1, r->Source2})
      if (s && seen.insert(s).second) pending.push_back(s);
  }
  return false;
}

}  // namespace

bool RunOnLargeStack(std::size_t stackBytes, const std::function<void()>& work) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  pthread_attr_setstacksize(&attr, stackBytes);
  pthread_t thread;
  auto entry = [](void* arg) -> void* {
    (*static_cast<const std::function<void()>*>(arg))();
    return nullptr;
  };
  int rc = pthread_create(&thread, &attr, entry, const_cast<std::function<void()>*>(&work));
  pthread_attr_destroy(&attr);
  if (rc != 0) return false;
  pthread_join(thread, nullptr);
  return true;
}

}  // namespace velmoran
