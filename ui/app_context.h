// What every window of one running program shares: the dialogs it asks the user through, the one
// proof runner, the program's folder (where the open dialog starts the first time) and the
// user's habits (none: nothing is remembered).
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
};

}  // namespace velmoran::ui
