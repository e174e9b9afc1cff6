// What the window tests share: one program's parts (scripted dialogs, the proof runner, the
// context the windows see), shown editor windows that are cleaned up whatever a test left
// running, and the few steps most tests take: find a menu item or button, run a proof to its end,
// read a menu as a user sees it.
//
// Proofs run on the runner's worker thread; a test waits for `Finished`, never for a fixed time.
// A window whose proof still runs must not be destroyed, so `CloseAll` stops and waits first.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "ui/app_context.h"
#include "ui/edit_form.h"
#include "ui/habits.h"
#include "ui/proof_runner.h"
#include "ui/support/scripted_dialogs.h"
#include "ui/theory_file.h"
#include "ui/theory_pane.h"

namespace velmoran::ui::test {

// Breadth-first, this search never ends: each level adds p(f(...(a))) one f deeper, and nothing
// ever resolves with q(b).
inline QString EndlessTheory() {
  return PaneText("\xF7X [p(X) \xF4 p(f(X))];\np(a);\n?- q(b);");
}
inline QString SocratesTheory() {
  return PaneText("\xF7X [man(X) \xF4 mortal(X)];\nman(socrates) : 0.9;\n?- mortal(socrates);");
}

inline QAction* Item(QMenu* menu, const QString& caption) {
  for (QAction* a : menu->actions())
    if (a->text() == caption) return a;
  return nullptr;
}

inline QPushButton* Button(QWidget* form, const QString& caption) {
  for (QPushButton* b : form->findChildren<QPushButton*>())
    if (b->text() == caption) return b;
  return nullptr;
}

// Its own submenu of a menu, by title.
inline QMenu* Submenu(QMenu* menu, const QString& title) {
  for (QAction* a : menu->actions())
    if (a->menu() && a->menu()->title() == title) return a->menu();
  return nullptr;
}

// A menu as its user reads it: "-" for a separator, "[x]"/"[ ]" after a toggle, "(x)"/"( )"
// after a radio item, then the shortcut.
inline QStringList Layout(const QMenu* menu) {
  QStringList items;
  for (const QAction* a : menu->actions()) {
    if (a->isSeparator()) {
      items << "-";
      continue;
    }
    QString item = a->text();
    if (a->isCheckable()) {
      bool radio = a->actionGroup() && a->actionGroup()->isExclusive();
      item += radio ? (a->isChecked() ? " (x)" : " ( )") : (a->isChecked() ? " [x]" : " [ ]");
    }
    if (!a->shortcut().isEmpty()) item += " " + a->shortcut().toString();
    items << item;
  }
  return items;
}

inline QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct TProgramParts {
  TScriptedDialogs Dialogs;
  TProofRunner Runner;
  // The habits of a user who never ran the program, kept apart from the real user's.
  QTemporaryDir HabitsFolder;
  THabits Habits{
      std::make_unique<QSettings>(HabitsFolder.filePath("habits.ini"), QSettings::IniFormat)};
  TAppContext Context{Dialogs, Runner, QString(), &Habits};
  std::vector<QPointer<TEditForm>> Forms;

  // A bare editor window, shown and active.
  TEditForm* NewForm() {
    auto* form = new TEditForm(Context);
    Forms.emplace_back(form);
    form->resize(700, 500);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form)) qWarning("window did not become active");
    return form;
  }

  // Clicks a proof or stop button and waits until the proof has returned.
  bool Press(TEditForm* form, const QString& button, int timeoutMs = 30000) {
    QSignalSpy finished(&Runner, &TProofRunner::Finished);
    Button(form, button)->click();
    return finished.wait(timeoutMs);
  }

  void CloseAll() {
    Runner.RequestStop();
    Runner.Wait();
    for (auto& form : Forms) delete form.data();
    Forms.clear();
  }
  ~TProgramParts() { CloseAll(); }
};

}  // namespace velmoran::ui::test
