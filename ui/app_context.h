// What every window of one running program shares: the dialogs it asks the user through, the one
// proof runner, the program's folder (where the open dialog starts the first time), the user's
// habits (none: nothing is remembered), Graphviz's layout program, found on the PATH unless a
// path is given, and whether the texts shown to the user are also logged (see `TShownLog`).
#pragma once

#include <QString>

namespace velmoran::ui {

class TDialogs;
class TProofRunner;
class THabits;

struct TAppContext {
  TDialogs& Dialogs;
  TProofRunner& Runner;
  QString ProgramFolder;
  THabits* Habits = nullptr;
  QString DotProgram = "dot";
  bool LogShownTexts = false;
};

// A debugging aid for scripts that drive the program from outside (bench/app_stop_latency.sh, the
// end-to-end tests): with `LogShownTexts` (main sets it when VELMORAN_LOG_SHOWN is in the
// environment), each status message, each text of a window's proof line and each stop command
// goes to standard error as "shown SECONDS KIND: TEXT", SECONDS read from CLOCK_MONOTONIC, the
// clock a script reads as well (Python's time.monotonic()).
void LogShown(const TAppContext& context, const char* kind, const QString& text);

}  // namespace velmoran::ui
