// What every window of one running program shares: the dialogs it asks the user through, the one
// proof runner, and the program's folder (where the open dialog starts).
#pragma once

#include <QString>

namespace velmoran::ui {

class TDialogs;
class TProofRunner;

struct TAppContext {
  TDialogs& Dialogs;
  TProofRunner& Runner;
  QString ProgramFolder;
};

}  // namespace velmoran::ui
