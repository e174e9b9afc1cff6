// The theory editor window: one theory, its prover object, its options and its report.
//
// `TEditForm` owns its file name, its prover object (replaced after a stopped proof) and its
// menus, whose check marks are the window's options; the frame shows these menus while the window
// is active. Every action is made in `CreateActions`, most of them from the engine's option table.
// A proof runs through the shared `TProofRunner`: while any proof runs, starting another is
// refused, and closing the window whose proof runs first stops that proof and waits for it.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "prover/options.h"
#include "prover/program.h"
#include "report/line_sink.h"
#include "ui/app_context.h"
#include "ui/derivation_view.h"
#include "ui/theory_file.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;

namespace velmoran::ui {

class TTheoryPane;

class TEditForm : public QWidget {
  Q_OBJECT

 public:
  explicit TEditForm(TAppContext& context, QWidget* parent = nullptr);
  ~TEditForm() override;

  const QString& FileName() const { return fileName_; }
  TPLProgram& Program() { return *program_; }
  TTheoryPane* Editor() const { return editor_; }
  TTheoryPane* OutputPane() const { return output_; }
  // The line under the report that tells what the window's proof is doing or how it ended.
  QLabel* ProofState() const { return proofState_; }
  // The window's menus in menu-bar order: "&File", "&Edit", "&Output", "&Prove theorem",
  // "&Unification".
  const std::vector<QMenu*>& Menus() const { return menus_; }
  QMenu* ContextMenu() const { return contextMenu_; }
  // The option item with this flag (the flagless radio items are found by caption).
  QAction* OptionAction(std::uint8_t TPLProgram::*flag) const;
  // "&Derivation graph...": enabled while the report names a best refutation; also a button
  // beside the proof line.
  QAction* DerivationAction() const { return showDerivation_; }
  // The view it opened last; null before.
  TDerivationView* DerivationView() const { return derivationView_; }

  // Loads a file into the window; a failure is shown and leaves the pane empty.
  void OpenFile(const QString& path);
  enum class SaveResult { Saved, Cancelled, Failed };
  SaveResult Save();
  SaveResult SaveAs();
  // Runs the proof command with a strategy.
  void Prove(SearchStrategy strategy);
  void Stop();
  void AskDcfLimit();
  // Opens the view of the best refutation's derivation (or brings it up to date).
  void ShowDerivation();
  // The window became the active child.
  void Activate();
  // The close query, after stopping this window's proof; true when the window may close. A
  // window whose query was answered closes without asking again, until `ForgetCloseAnswer`.
  bool QueryClose();
  void ForgetCloseAnswer() { closeApproved_ = false; }

 signals:
  void NewRequested();
  void OpenRequested();
  // A recent file was chosen; the frame opens it (or brings its window to the front).
  void OpenPathRequested(const QString& path);
  void ExitRequested();
  void StatusMessage(const QString& text);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateLayout();
  bool CloseQuery();
  bool closeApproved_ = false;
  void SetFileName(const QString& path);
  TTheoryPane* FocusedPane(bool editorFirst) const;
  void UpdateTitle();
  void ShowProgress();
  void SetProofState(const QString& text);
  QString FiguresText() const;
  void UpdateEditItems();
  void ChooseFont();
  void AppendLines(const std::vector<std::string>& lines);
  void ProofFinished(TPLProgram* program);

  TAppContext& context_;
  QString fileName_;
  TheoryEncoding encoding_ = TheoryEncoding::OneByte;
  // What the prove-again key runs: the strategy of this window's last proof.
  SearchStrategy lastStrategy_ = SearchStrategy::Linear;
  std::unique_ptr<TPLProgram> program_;
  // Alive while the proof runs: the prover object points into both.
  std::string sourceText_;
  std::unique_ptr<TLineList> privateReport_;
  // The graph of the best refutation that the report in the pane names; empty when none.
  std::vector<std::string> derivation_;
  QPointer<TDerivationView> derivationView_;
  QAction* showDerivation_ = nullptr;
  QPushButton* derivationButton_ = nullptr;

  TTheoryPane* editor_ = nullptr;
  TTheoryPane* output_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QLabel* proofState_ = nullptr;
  QTimer* progressTimer_ = nullptr;
  std::vector<QMenu*> menus_;
  QMenu* contextMenu_ = nullptr;
  std::vector<std::pair<const TOptionRow*, QAction*>> options_;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* delete_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* contextCut_ = nullptr;
  QAction* contextCopy_ = nullptr;
  QAction* contextPaste_ = nullptr;
};

}  // namespace velmoran::ui
