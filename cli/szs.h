// SZS status lines: the one-line verdicts that scripts written for other provers read.
//
// With --szs every query whose search began gets "% SZS status STATUS for NAME" right after its
// part of the report (before the next query, or before the closing lines after the last one). A
// run that ends without a verdict for some of its text gets one more line after the report: a
// syntax error (SyntaxError), or a stop that came while no query was searched (the stop's status);
// queries after a stop are never reached and get no line of their own. A file that cannot be read
// gets only its InputError line. NAME is the file's base name without its extension, "Untitled"
// for standard input, as the desktop app names an unsaved theory.
//
// The statuses keep their meaning from the TPTP world: Theorem, a refutation was found;
// Unsatisfiable, a problem without a conjecture had its axioms refuted; ContradictoryAxioms, a
// refutation of a query never used its negation, so the axioms alone are contradictory; GaveUp,
// the search ended without one; Timeout, the time limit stopped it; ResourceOut, the resolvent or
// memory limit or a failed allocation stopped it; User, SIGINT or SIGTERM stopped it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "prover/program.h"

namespace velmoran::cli {

enum class SzsStatus : std::uint8_t {
  Theorem,
  ContradictoryAxioms,
  Unsatisfiable,
  GaveUp,
  Timeout,
  ResourceOut,
  User,
  SyntaxError,
  InputError
};

// What stopped a run early, as the front end knows it.
enum class StopCause : std::uint8_t { None, Time, Resources, User };

const char* SzsWord(SzsStatus status);
// "p01" for "examples/pelletier/p01.txt"; "Untitled" for "-".
std::string SzsName(std::string_view path);
std::string SzsLine(SzsStatus status, std::string_view name);

// An interrupt outranks a limit: the limit may have been reached while the run was ending anyway.
StopCause CauseOfStop(bool stopped, bool outOfMemory, bool interrupted, const TRunLimits& limits);
// GaveUp for `None`, else the status that names the stop.
SzsStatus StatusOfStop(StopCause cause);
// The status of the query whose search just ended in `program`.
SzsStatus QueryStatus(const TPLProgram& program, StopCause cause);
// What a refutation means for a text: Unsatisfiable for a TPTP problem without a conjecture,
// whose axioms alone are refuted, Theorem otherwise.
SzsStatus RefutedStatus(bool axiomsOnly);
// Whether the status says a refutation was found.
inline bool IsRefuted(SzsStatus status) {
  return status == SzsStatus::Theorem || status == SzsStatus::ContradictoryAxioms;
}
// `status` with a refutation read as `refuted`; contradictory axioms stay so unless the problem
// had no conjecture, where refuting the axioms is the whole answer.
inline SzsStatus AsRefuted(SzsStatus status, SzsStatus refuted) {
  if (status == SzsStatus::Theorem) return refuted;
  if (status == SzsStatus::ContradictoryAxioms && refuted == SzsStatus::Unsatisfiable)
    return refuted;
  return status;
}

}  // namespace velmoran::cli
