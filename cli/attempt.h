// A proof attempt: the run that plain runs make, and each setting of the portfolio too.
//
// An attempt is one proof of a theory text on a fresh prover object, with given settings and
// limits, its report lines going to a sink; it notes how each query's search ended and where in the
// report that query's part ended. A plain run is a single attempt whose report streams to standard
// output (or to the ".out" list), with the SZS line of each query added as the query ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/szs.h"
#include "prover/program.h"
#include "report/line_sink.h"

namespace velmoran::cli {

// How a run ended, for the command line to turn into messages, an ".out" file and an exit status.
struct TRunOutcome {
  bool Started = true;  // false when no proof thread could be made
  bool Stopped = false;
  bool OutOfMemory = false;
  bool Interrupted = false;
  const char* Reached = nullptr;  // the limit that stopped it, as `TRunLimits` names it
  std::uint8_t ErrorCode = 0;
  std::int32_t ErrorPosition = 0;
  // SZS and portfolio lines already given to the sink: shown even when the ".out" report is too
  // long to be shown.
  std::vector<std::string> Verdicts;
  // Each query's status, as its SZS line gives it, with or without --szs (set by the portfolio).
  std::vector<SzsStatus> QueryStatuses;
  // Lines that follow the report (see szs.h and above); the caller adds them once it has decided
  // about the ".out" file, since they are not part of what the proof wrote.
  std::vector<std::string> Closing;
  // With --proof: the TSTP derivation of the last query's best refutation (report/tstp_proof.h).
  std::vector<std::string> Proof;
};

struct TQueryEnd {
  SzsStatus Status;
  std::size_t Line;  // lines of the report written when the query ended
  bool Stopped;      // the run was already stopped then
};

struct TAttempt {
  TRunOutcome Outcome;
  StopCause Cause = StopCause::None;
  std::vector<TQueryEnd> Queries;
};

// Runs one proof. `onQuery` is called at each query's end with its status, and may add lines.
// With `exitFollows` the caller leaves the process right after (an --auto child, or the command
// line's last file): the prover object is then left to the process's end instead of freed, which
// for a proof of a gigabyte takes longer than the slack the time limit allows. Where a leak check
// runs at the end (the sanitizer builds), it is freed all the same.
TAttempt RunAttempt(const std::string& text, const TSettings& settings, TRunLimits& limits,
                    TLineSink& output, const std::function<bool()>& interrupted,
                    const std::function<void(SzsStatus)>& onQuery, bool exitFollows = false);

// The verdict lines that follow a run's report: a syntax error, or a stop that no query's line
// speaks of (it came while the text was being read).
void AddClosingVerdicts(const std::vector<TQueryEnd>& queries, SzsStatus stopStatus,
                        const std::string& name, TRunOutcome& out);

// The limits of the command line, for one attempt.
TRunLimits LimitsOf(const Options& options);

// One proof of `text` with the options' settings and limits, as the command line runs it without
// --auto; with --szs the SZS lines are added (see szs.h). `name` is the theory's file name;
// `refuted` is the status a refutation gets (see `RefutedStatus`).
TRunOutcome ProveOnce(const std::string& text, const std::string& name, const Options& options,
                      TLineSink& output, const std::function<bool()>& interrupted,
                      SzsStatus refuted = SzsStatus::Theorem, bool exitFollows = false);

}  // namespace velmoran::cli
