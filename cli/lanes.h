// The lanes of the portfolio: its attempts in child processes, two at once.
//
// A child runs one attempt exactly as `RunInTurn` would, into a line list, and writes the
// attempt (outcome, query ends, lines) to its pipe in one message, then exits. The parent waits
// on the pipes with the stop signals blocked except inside ppoll, so an interrupt is never missed
// between a check and the wait. Only the parent hears the terminal's SIGINT; it stops a child's
// attempt with SIGTERM, which the child takes as an interrupt, so the report of an interrupted
// attempt ends as a plain run's does. A child dies with its parent (PR_SET_PDEATHSIG), so no
// attempt outlives the portfolio.
#pragma once

#include <functional>
#include <string>

#include "cli/cli_options.h"
#include "cli/portfolio.h"

namespace velmoran::cli {

// One lane per core the process may run on, at most two: on one core the lanes would only
// share it, and the sequence in turn puts the fast settings first.
int LaneCount();

// Runs the lanes of `kLaneSteps` until an attempt ends the portfolio or every lane has run out of
// settings or budget, noting each ended attempt in `choice`. False when a child process, or a
// child's proof thread, could not be made (every child is then gone); the sequence must then run
// in turn.
bool RunLanes(const TPortfolioTexts& texts, const Options& options, double start, double budget,
              const std::function<bool()>& interrupted, TChoice& choice);

}  // namespace velmoran::cli
