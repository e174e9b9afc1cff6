// Proof attempts and the portfolio of --auto.
//
// An attempt is one proof of a theory text on a fresh prover object, with given settings and
// limits, its report lines going to a sink; it notes how each query's search ended and where in the
// report that query's part ended. A plain run is a single attempt whose report streams to standard
// output (or to the ".out" list), with the SZS line of each query added as the query ends.
//
// The portfolio tries a fixed sequence of settings, each attempt on a fresh prover object with its
// slice of the time budget, and keeps the report of the first attempt that refutes every query of
// the theory, unchanged, so it is the report a plain run with that setting prints. Where the
// process may use two cores, the settings run in two lanes at once, each attempt in a child process
// of its own (the engine's state is process-wide), and the first lane to refute ends the other at
// once; on one core, or when no child process can be made, the attempts run one after another in
// this process, in the sequence's order. The other attempts' reports are dropped. When none
// succeeds, the report shown is that of the attempt that refuted the most queries (the later
// setting among equals). After the report comes one line that names the setting that refuted it,
// or says that none did; with --szs, each query's SZS line is put where a plain run puts it. The
// limits of the command line hold for every attempt (the resolvent and memory limits as they are,
// in each child, the time limit as the whole budget); an interrupt ends the whole portfolio, and
// no child process outlives it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/szs.h"
#include "prover/program.h"
#include "report/line_sink.h"

namespace velmoran::cli {

// The budget of --auto when --timeout is not given.
constexpr double kDefaultAutoSeconds = 60;

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
  // Lines that follow the report (see szs.h and above); the caller adds them once it has decided
  // about the ".out" file, since they are not part of what the proof wrote.
  std::vector<std::string> Closing;
  // With --proof: the TSTP derivation of the last query's best refutation (report/tstp_proof.h).
  std::vector<std::string> Proof;
};

// One proof of `text` with the options' settings and limits, as the command line runs it without
// --auto; with --szs the SZS lines are added (see szs.h). `name` is the theory's file name;
// `refuted` is the status a refutation gets (see `RefutedStatus`).
TRunOutcome ProveOnce(const std::string& text, const std::string& name, const Options& options,
                      TLineSink& output, const std::function<bool()>& interrupted,
                      SzsStatus refuted = SzsStatus::Theorem);

// The portfolio: the report of the chosen attempt goes to `output` at the end, whole.
TRunOutcome ProveWithPortfolio(const std::string& text, const std::string& name,
                               const Options& options, TLineSink& output,
                               const std::function<bool()>& interrupted,
                               SzsStatus refuted = SzsStatus::Theorem);

// The settings the portfolio tries, in order, as the command-line options that give the same run.
std::vector<std::string> PortfolioLabels();
// The lanes: each the numbers (from 1, as in the labels) of the settings it runs, in its order.
std::vector<std::vector<int>> PortfolioLanes();

}  // namespace velmoran::cli
