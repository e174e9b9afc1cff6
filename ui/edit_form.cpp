#include "ui/edit_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

#include "logic/number_format.h"
#include "logic/text_codec.h"
#include "parser/formula_parser.h"
#include "report/report.h"
#include "ui/derivation_view.h"
#include "ui/dialogs.h"
#include "ui/habits.h"
#include "ui/proof_runner.h"
#include "ui/symbol_input.h"
#include "ui/theory_pane.h"

namespace velmoran::ui {

namespace {

constexpr const char* kUntitled = "Untitled";

QFont PaneFont() {
  return QFont("Quarnel", 11);
}

// A window's proof is watched on this clock: twice a second would do, four times reads as
// running time.
constexpr int kProgressMilliseconds = 250;

const char* SearchName(SearchStrategy strategy) {
  switch (strategy) {
    case SearchStrategy::Linear:
      return "linear search";
    case SearchStrategy::ModifiedLinear:
      return "modified linear search";
    case SearchStrategy::BreadthFirst:
      return "breadth-first search";
    case SearchStrategy::SmallestFirst:
      return "smallest-first search";
  }
  return "search";
}

// Where a syntax error stands in the text the proof read: the caret position counts the
// characters before the caret, so the error is the character at that offset, its column counted
// from 1 as the command line counts it.
struct TErrorPlace {
  int Line = 1;
  int Column = 1;
  std::string LineText;
};

TErrorPlace PlaceOf(const std::string& text, std::int32_t position) {
  const std::size_t offset = std::min<std::size_t>(position > 0 ? position : 0, text.size());
  TErrorPlace place;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset; ++i)
    if (text[i] == '\n') {
      lineStart = i + 1;
      ++place.Line;
    }
  place.Column = static_cast<int>(offset - lineStart) + 1;
  const std::size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
  place.LineText = text.substr(lineStart, lineEnd - lineStart);
  return place;
}

// The line with a caret line under the error, tabs kept so the caret lines up; the line's
// symbols are the real ones, since the box does not draw in the symbol face.
QString PointedLine(const TErrorPlace& place) {
  QString caret;
  for (int i = 0; i + 1 < place.Column && i < static_cast<int>(place.LineText.size()); ++i)
    caret += place.LineText[i] == '\t' ? '\t' : ' ';
  return QString::fromStdString(EncodeUtf8(place.LineText)) + '\n' + caret + '^';
}

}  // namespace

TEditForm::TEditForm(TAppContext& context, QWidget* parent)
    : QWidget(parent), context_(context), fileName_(kUntitled) {
  setAttribute(Qt::WA_DeleteOnClose);
  UpdateTitle();
  QFont own = font();
  own.setFamily("MS Sans Serif");
  setFont(own);
  program_ = std::make_unique<TPLProgram>();
  context_.Runner.MakeActive(program_.get());
  CreateLayout();
  CreateActions();
  connect(&context_.Runner, &TProofRunner::Lines, this,
          [this](const std::vector<std::string>& lines) {
            if (context_.Runner.Running() == program_.get()) AppendLines(lines);
          });
  connect(&context_.Runner, &TProofRunner::Finished, this, &TEditForm::ProofFinished);
}

TEditForm::~TEditForm() {
  context_.Runner.Release(std::move(program_));
}

void TEditForm::CreateLayout() {
  auto* toolBar = new QWidget(this);
  toolBar->setFixedHeight(30);
  auto* buttons = new QHBoxLayout(toolBar);
  buttons->setContentsMargins(2, 2, 2, 2);
  buttons->setSpacing(2);
  auto addButton = [&](const QString& caption, auto slot) {
    auto* b = new QPushButton(caption, toolBar);
    b->setFixedSize(57, 25);
    connect(b, &QPushButton::clicked, this, slot);
    buttons->addWidget(b);
    return b;
  };
  QPushButton* stop = addButton("&Stop", &TEditForm::Stop);
  stop->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  addButton("Linear", [this] { Prove(SearchStrategy::Linear); });
  addButton("Breadth", [this] { Prove(SearchStrategy::BreadthFirst); });
  addButton("Modified", [this] { Prove(SearchStrategy::ModifiedLinear); });
  QFont glyphFont = PaneFont();
  glyphFont.setBold(true);
  for (const SymbolButton& symbol : SymbolButtons()) {
    auto* b = new QToolButton(toolBar);
    b->setObjectName(symbol.Name);
    b->setText(PaneText(std::string_view(&symbol.CaptionByte, 1)));
    b->setFont(glyphFont);
    b->setFixedSize(25, 17);
    // The editor keeps the focus, so typing goes on where the symbol went in.
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(SymbolToolTip(symbol));
    connect(b, &QToolButton::clicked, this, [this, &symbol] { ButtonNegClick(*editor_, symbol); });
    buttons->addWidget(b);
  }
  buttons->addStretch();

  editor_ = new TTheoryPane(this);
  output_ = new TTheoryPane(this);
  editor_->setObjectName("Editor");
  output_->setObjectName("Output");
  for (TTheoryPane* pane : {editor_, output_}) {
    pane->setFont(PaneFont());
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this, [this, pane](const QPoint& at) {
      contextMenu_->popup(pane->viewport()->mapToGlobal(at));
    });
    connect(pane, &TTheoryPane::InsertRefused, this, &TEditForm::StatusMessage);
  }
  // The mark of a syntax error's line lasts until the text changes.
  connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
    if (!editor_->extraSelections().isEmpty()) editor_->setExtraSelections({});
  });
  // The mark follows the document, read afresh: loading an empty file into an empty pane reports
  // a change to modified without the change back.
  connect(editor_->document(), &QTextDocument::modificationChanged, this,
          [this] { setWindowModified(editor_->document()->isModified()); });
  new TSymbolKeyFilter(editor_, true, this);
  new TSymbolKeyFilter(output_, false, this);

  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setHandleWidth(3);
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(editor_);
  splitter_->addWidget(output_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({186, 200});

  proofState_ = new QLabel(this);
  proofState_->setObjectName("ProofState");
  proofState_->setContentsMargins(4, 1, 4, 1);
  proofState_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  proofState_->hide();  // until the window's first proof
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(kProgressMilliseconds);
  connect(progressTimer_, &QTimer::timeout, this, &TEditForm::ShowProgress);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar);
  layout->addWidget(splitter_, 1);
  // The button beside the proof line shows only while there is a derivation to draw.
  derivationButton_ = new QPushButton("Derivation graph...", this);
  derivationButton_->setObjectName("DerivationButton");
  derivationButton_->setFocusPolicy(Qt::NoFocus);
  derivationButton_->hide();
  auto* stateRow = new QHBoxLayout;
  stateRow->setContentsMargins(0, 0, 2, 0);
  stateRow->addWidget(proofState_, 1);
  stateRow->addWidget(derivationButton_);
  layout->addLayout(stateRow);
}

void TEditForm::CreateActions() {
  auto command = [this](QMenu* menu, const QString& caption, auto slot,
                        const QKeySequence& shortcut = {}) {
    QAction* a = menu->addAction(caption);
    a->setShortcut(shortcut);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };

  auto* file = new QMenu("&File", this);
  command(file, "&New", &TEditForm::NewRequested)->setShortcuts(QKeySequence::New);
  command(file, "&Open...", &TEditForm::OpenRequested)->setShortcuts(QKeySequence::Open);
  file->addMenu(RecentFilesMenu(context_.Habits, this,
                                [this](const QString& path) { emit OpenPathRequested(path); }));
  QAction* closeWindow =
      command(file, "&Close", [this] { parentWidget() ? parentWidget()->close() : close(); });
  closeWindow->setShortcuts(QKeySequence::Close);
  command(file, "&Save", &TEditForm::Save)->setShortcuts(QKeySequence::Save);
  // Some desktops bind no key to Save as; Ctrl+Shift+S is the one most programs use.
  QAction* saveAs = command(file, "Save &as...", &TEditForm::SaveAs);
  saveAs->setShortcuts(QKeySequence::SaveAs);
  if (saveAs->shortcuts().isEmpty())
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  file->addSeparator();
  command(file, "E&xit", &TEditForm::ExitRequested);

  // Edit commands act on the focused pane, the output pane first.
  auto onPane = [this](void (QPlainTextEdit::*op)()) {
    return [this, op] {
      if (TTheoryPane* pane = FocusedPane(false)) (pane->*op)();
    };
  };
  auto deleteSelection = [this] {
    if (TTheoryPane* pane = FocusedPane(false)) pane->textCursor().removeSelectedText();
  };
  auto* edit = new QMenu("&Edit", this);
  undo_ = command(edit, "&Undo", onPane(&QPlainTextEdit::undo));
  undo_->setShortcuts(QKeySequence::Undo);
  redo_ = command(edit, "&Redo", onPane(&QPlainTextEdit::redo));
  redo_->setShortcuts(QKeySequence::Redo);
  edit->addSeparator();
  cut_ = command(edit, "Cu&t", onPane(&QPlainTextEdit::cut), QKeySequence("Ctrl+X"));
  copy_ = command(edit, "&Copy", onPane(&QPlainTextEdit::copy), QKeySequence("Ctrl+C"));
  paste_ = command(edit, "&Paste", onPane(&QPlainTextEdit::paste), QKeySequence("Ctrl+V"));
  delete_ = command(edit, "De&lete", deleteSelection, QKeySequence("Ctrl+D"));
  edit->addSeparator();
  command(edit, "Select &all", onPane(&QPlainTextEdit::selectAll), QKeySequence("Ctrl+A"));
  command(edit, "Clear Output", [this] { output_->clear(); });
  command(edit, "Font...", &TEditForm::ChooseFont);
  connect(edit, &QMenu::aboutToShow, this, &TEditForm::UpdateEditItems);

  auto* output = new QMenu("&Output", this);
  auto* prove = new QMenu("&Prove theorem", this);
  // Escape stops as in any program that runs something long; while no proof runs it does nothing.
  command(prove, "Stop", &TEditForm::Stop, QKeySequence(Qt::Key_Escape));
  command(prove, "DCF-Limit...", &TEditForm::AskDcfLimit);
  prove->addSeparator();
  command(prove, "Linear search", [this] { Prove(SearchStrategy::Linear); });
  command(prove, "Breadth-first search", [this] { Prove(SearchStrategy::BreadthFirst); });
  command(prove, "Modified linear search", [this] { Prove(SearchStrategy::ModifiedLinear); });
  command(
      prove, "Prove &again", [this] { Prove(lastStrategy_); }, QKeySequence(Qt::Key_F5));
  // Ctrl+G, for "graph": no key of the editor's own, and not a Ctrl+Alt key, which types a symbol.
  showDerivation_ = command(prove, "&Derivation graph...", &TEditForm::ShowDerivation,
                            QKeySequence(Qt::CTRL | Qt::Key_G));
  showDerivation_->setEnabled(false);
  showDerivation_->setToolTip("The best refutation's derivation as a picture");
  connect(derivationButton_, &QPushButton::clicked, showDerivation_, &QAction::trigger);
  auto* unification = new QMenu("&Unification", this);

  std::map<char, QActionGroup*> groups;
  for (const TOptionRow& option : OptionTable()) {
    QMenu* menu = option.Menu == OptionMenu::Output         ? output
                  : option.Menu == OptionMenu::ProveTheorem ? prove
                                                            : unification;
    if (option.SeparatorBefore) menu->addSeparator();
    QAction* a = menu->addAction(option.Caption);
    a->setToolTip(option.Help);
    a->setCheckable(true);
    a->setChecked(option.Default);
    if (option.Group != 0) {
      // A radio group is one group of items wherever the menu's separators fall.
      QActionGroup*& group = groups[option.Group];
      if (!group) group = new QActionGroup(this);
      group->addAction(a);
    }
    options_.emplace_back(&option, a);
  }
  menus_ = {file, edit, output, prove, unification};
  for (QMenu* menu : {output, prove, unification}) menu->setToolTipsVisible(true);

  contextMenu_ = new QMenu(this);
  contextCut_ = command(contextMenu_, "Cu&t", onPane(&QPlainTextEdit::cut));
  contextCopy_ = command(contextMenu_, "&Copy", onPane(&QPlainTextEdit::copy));
  contextPaste_ = command(contextMenu_, "&Paste", onPane(&QPlainTextEdit::paste));
  connect(contextMenu_, &QMenu::aboutToShow, this, &TEditForm::UpdateEditItems);
}

QAction* TEditForm::OptionAction(std::uint8_t TPLProgram::*flag) const {
  for (const auto& [option, action] : options_)
    if (option->Flag == flag) return action;
  return nullptr;
}

TTheoryPane* TEditForm::FocusedPane(bool editorFirst) const {
  TTheoryPane* first = editorFirst ? editor_ : output_;
  TTheoryPane* second = editorFirst ? output_ : editor_;
  if (first->hasFocus()) return first;
  if (second->hasFocus()) return second;
  return nullptr;
}

void TEditForm::UpdateEditItems() {
  TTheoryPane* pane = FocusedPane(true);
  if (!pane) return;  // the items keep the states of the last time
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  bool canPaste = clip && clip->hasText();
  bool selected = pane->textCursor().hasSelection();
  for (QAction* a : {paste_, contextPaste_}) a->setEnabled(canPaste);
  for (QAction* a : {cut_, contextCut_, copy_, contextCopy_, delete_}) a->setEnabled(selected);
  undo_->setEnabled(pane->document()->isUndoAvailable());
  redo_->setEnabled(pane->document()->isRedoAvailable());
}

void TEditForm::ChooseFont() {
  TTheoryPane* pane = FocusedPane(true);
  if (!pane) return;
  if (auto font = context_.Dialogs.ChooseFont(this, pane->font())) pane->setFont(*font);
}

void TEditForm::SetFileName(const QString& path) {
  fileName_ = path;
  UpdateTitle();
}

void TEditForm::UpdateTitle() {
  // "[*]" shows as "*" while the theory has unsaved changes. The window list and a maximized
  // window's frame show the title too, so they tell which window proves.
  QString title = (fileName_ == kUntitled ? fileName_ : QFileInfo(fileName_).fileName()) + "[*]";
  if (program_ && context_.Runner.Running() == program_.get()) title += " - proving";
  setWindowTitle(title);
}

void TEditForm::SetProofState(const QString& text) {
  if (text != proofState_->text()) LogShown(context_, "proof line", text);
  proofState_->setText(text);
  proofState_->show();
}

QString TEditForm::FiguresText() const {
  const TProofRunner::TProgress progress = context_.Runner.Progress();
  return QString("%1 s, resolvents stored: %2")
      .arg(progress.Seconds, 0, 'f', 1)
      .arg(progress.Resolvents);
}

void TEditForm::ShowProgress() {
  if (context_.Runner.Running() != program_.get()) return;
  const TProofRunner::TProgress progress = context_.Runner.Progress();
  SetProofState(QString("Proving (%1): %2, %3 in use")
                    .arg(SearchName(program_->Strategy), FiguresText(),
                         QLocale::c().formattedDataSize(progress.HeapBytes, 1,
                                                        QLocale::DataSizeTraditionalFormat)));
}

void TEditForm::OpenFile(const QString& path) {
  SetFileName(path);
  auto loaded = LoadTheoryFile(path);
  if (auto* failure = std::get_if<QString>(&loaded)) {
    editor_->clear();
    editor_->document()->setModified(false);
    setWindowModified(false);
    context_.Dialogs.Error(this, *failure);
    return;
  }
  auto& theory = std::get<TLoadedTheory>(loaded);
  encoding_ = theory.Encoding;
  editor_->setPlainText(PaneText(theory.Bytes));
  editor_->moveCursor(QTextCursor::Start);
  editor_->document()->setModified(false);
  setWindowModified(false);
  if (context_.Habits) context_.Habits->NoteFile(path);
}

TEditForm::SaveResult TEditForm::Save() {
  if (fileName_ == kUntitled) return SaveAs();
  if (auto failure = SaveTheoryFile(fileName_, PaneBytes(editor_->toPlainText()), encoding_)) {
    context_.Dialogs.Error(this, *failure);
    return SaveResult::Failed;
  }
  editor_->document()->setModified(false);
  setWindowModified(false);
  if (context_.Habits) context_.Habits->NoteFile(fileName_);
  return SaveResult::Saved;
}

TEditForm::SaveResult TEditForm::SaveAs() {
  // An untitled theory is proposed in the folder the user worked in last.
  QString proposed = fileName_;
  if (fileName_ == kUntitled && context_.Habits && !context_.Habits->LastFolder().isEmpty())
    proposed = QDir(context_.Habits->LastFolder()).filePath(kUntitled);
  QString path = context_.Dialogs.SaveFileName(this, proposed);
  if (path.isEmpty()) return SaveResult::Cancelled;
  // Theories are ".txt" files: a new name without an extension gets it.
  if (QFileInfo(path).suffix().isEmpty() && !QFileInfo::exists(path)) path += ".txt";
  SetFileName(path);
  return Save();
}

void TEditForm::Activate() {
  context_.Runner.MakeActive(program_.get());
  editor_->setFocus();
}

void TEditForm::Stop() {
  if (context_.Runner.Running() != program_.get()) return;
  LogShown(context_, "command", "Stop");
  context_.Runner.RequestStop();
}

void TEditForm::AskDcfLimit() {
  if (context_.Runner.Running() == program_.get()) {
    emit StatusMessage("The DCF limit can be changed when this window's proof has ended.");
    return;
  }
  if (auto failure = SetDcfLimitFromAnswer(*program_, [&]() -> std::optional<std::string> {
        auto answer = context_.Dialogs.AskDcfLimit(this);
        if (!answer) return std::nullopt;
        return answer->toStdString();
      }()))
    context_.Dialogs.Error(this, QString::fromStdString(*failure));
}

void TEditForm::ShowDerivation() {
  if (derivation_.empty()) {
    emit StatusMessage("No refutation: there is no derivation to draw.");
    return;
  }
  if (!derivationView_) derivationView_ = new TDerivationView(context_, this);
  derivationView_->Show(derivation_, fileName_);
}

void TEditForm::Prove(SearchStrategy strategy) {
  if (context_.Runner.Busy()) {
    const QString refusal = context_.Runner.Running() == program_.get()
                                ? "A proof is already running in this window."
                                : "A proof is running in another window: stop it first.";
    emit StatusMessage(refusal);
    // The window that proves keeps showing its progress.
    if (context_.Runner.Running() != program_.get()) SetProofState(refusal);
    return;
  }
  TPLProgram& p = *program_;
  lastStrategy_ = strategy;
  p.Strategy = strategy;
  for (const auto& [option, action] : options_)
    if (option->Flag) p.*(option->Flag) = action->isChecked() ? 1 : 0;
  output_->clear();
  editor_->setExtraSelections({});
  // The derivation belongs to the report just cleared, and so does its picture.
  derivation_.clear();
  if (derivationView_) derivationView_->hide();
  showDerivation_->setEnabled(false);
  derivationButton_->hide();
  privateReport_ = std::make_unique<TLineList>();
  p.Output = privateReport_.get();
  sourceText_ = PaneBytes(editor_->toPlainText());
  p.SourceText = sourceText_.c_str();
  p.StopRequested = 0;
  if (!context_.Runner.Start(p, p.Interactive != 0)) {
    emit StatusMessage("The proof could not be started: the system refused a thread for it.");
    privateReport_.reset();
    p.Output = nullptr;
    return;
  }
  emit StatusMessage("Proving...");
  UpdateTitle();
  ShowProgress();
  progressTimer_->start();
}

void TEditForm::AppendLines(const std::vector<std::string>& lines) {
  QString text;
  for (const std::string& line : lines) {
    if (!text.isEmpty()) text += '\n';
    text += PaneText(line);
  }
  output_->appendPlainText(text);
}

void TEditForm::ProofFinished(TPLProgram* program) {
  if (program != program_.get()) return;
  TPLProgram& p = *program_;
  // A syntax error before the first query: no proof ran, so its time and memory lines (all the
  // report holds) would only mislead.
  if (p.ErrorCode != 0 && context_.Runner.QueriesDone() == 0) {
    privateReport_->Lines.clear();
    output_->clear();
  }
  const TErrorPlace place = PlaceOf(sourceText_, p.ErrorPosition);
  const std::string_view message = ErrorMessage(p.ErrorCode);
  const QString messageText = QString::fromLatin1(message.data(), message.size());
  progressTimer_->stop();
  UpdateTitle();
  derivation_ = context_.Runner.Derivation();
  showDerivation_->setEnabled(!derivation_.empty());
  derivationButton_->setVisible(!derivation_.empty());
  // How the proof ended: in the frame's status bar, and with its figures under the report.
  const QString figures = FiguresText();
  if (p.ErrorCode != 0) {
    const QString text =
        QString("Syntax error at line %1, column %2: %3")
            .arg(place.Line)
            .arg(place.Column)
            .arg(message.empty() ? QString("error %1").arg(p.ErrorCode) : messageText);
    emit StatusMessage(text);
    SetProofState(text);
  } else if (p.OutOfMemory) {
    emit StatusMessage("Proof stopped: out of memory.");
    SetProofState("Stopped, out of memory: " + figures);
  } else if (const char* limit = context_.Runner.LimitReached()) {
    emit StatusMessage(QString("Proof stopped: %1 reached.").arg(limit));
    SetProofState(QString("Stopped at the %1: %2").arg(limit, figures));
  } else if (p.StopRequested) {
    emit StatusMessage("Proof stopped.");
    SetProofState("Stopped: " + figures);
  } else if (p.RefutationFound) {
    const QString degree = QString::fromStdString(FormatReal(Report.BestDegree));
    emit StatusMessage(QString("Proof done: refuted, best refutation degree %1.").arg(degree));
    SetProofState(QString("Refuted, best refutation degree %1: %2").arg(degree, figures));
  } else {
    emit StatusMessage("Proof done: no refutation.");
    SetProofState("Search ended without a refutation: " + figures);
  }
  bool writeOut = !p.Interactive && p.ErrorCode == 0;
  bool outFailed = false;
  if (writeOut) {
    if (auto failure = WriteFileSafely(fileName_ + ".out", privateReport_->Text())) {
      context_.Dialogs.Error(this, *failure);
      outFailed = true;
    }
  }
  // The focus moves within this window only: a user who went on in another window keeps it.
  QWidget* focus = QApplication::focusWidget();
  const bool mayFocus = focus == nullptr || isAncestorOf(focus);
  if (mayFocus) output_->setFocus();
  if (!p.Interactive) {
    if (privateReport_->Lines.empty())
      output_->clear();
    else if (ShowsWholeReport(*privateReport_, outFailed))
      AppendLines(privateReport_->Lines);
    else
      output_->appendPlainText(kReportTooLong);
    output_->moveCursor(QTextCursor::End);
  }
  if (p.ErrorPosition != 0) {
    QTextCursor caret = editor_->textCursor();
    int end = editor_->document()->characterCount() - 1;
    caret.setPosition(std::min(p.ErrorPosition, end));
    editor_->setTextCursor(caret);
    QTextEdit::ExtraSelection mark;
    mark.cursor = caret;
    mark.cursor.clearSelection();
    mark.format.setBackground(QColor(255, 214, 214));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    editor_->setExtraSelections({mark});
    if (mayFocus) editor_->setFocus();
  }
  if (p.ErrorCode != 0 && !message.empty()) {
    const QString name = fileName_ == kUntitled ? fileName_ : QFileInfo(fileName_).fileName();
    context_.Dialogs.SyntaxError(this, QString("%1:%2:%3: error %4: %5\n")
                                               .arg(name)
                                               .arg(place.Line)
                                               .arg(place.Column)
                                               .arg(p.ErrorCode)
                                               .arg(messageText) +
                                           PointedLine(place));
  }
  if (p.StopRequested) {
    // A stopped proof may leave its object half-way: it is replaced, not repaired.
    if (p.OutOfMemory)
      (void)program_.release();  // half built when memory ran out: kept, never walked again
    else
      context_.Runner.Release(std::move(program_));
    program_ = std::make_unique<TPLProgram>();
    context_.Runner.MakeActive(program_.get());
  } else {
    p.Output = nullptr;
    p.SourceText = nullptr;
  }
  privateReport_.reset();
}

bool TEditForm::CloseQuery() {
  if (!editor_->document()->isModified()) return true;
  auto answer =
      context_.Dialogs.AskSaveChanges(this, QString("Save changes to %1?").arg(fileName_));
  // Yes closes only once the text is on disk: a save dialog cancelled or a write that failed
  // keeps the window with its text, so that closing never loses what was typed.
  if (answer == QMessageBox::Yes) return Save() == SaveResult::Saved;
  return answer == QMessageBox::No;
}

bool TEditForm::QueryClose() {
  if (context_.Runner.Running() == program_.get()) {
    context_.Runner.RequestStop();
    context_.Runner.Wait();
  }
  closeApproved_ = CloseQuery();
  return closeApproved_;
}

void TEditForm::closeEvent(QCloseEvent* event) {
  if (closeApproved_ || QueryClose())
    event->accept();
  else
    event->ignore();
}

}  // namespace velmoran::ui
