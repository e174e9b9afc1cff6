#include "ui/proof_runner.h"

#include <QThread>

#include "prover/search.h"

namespace velmoran::ui {

namespace {
// The command-line prover runs proofs on the same stack: the linear search may recurse to its
// depth limit.
constexpr uint kProofStackBytes = 1u << 30;
// Lines reach the pane in batches: often enough to read as they come, rarely enough that
// painting the pane never slows the proof.
constexpr int kDrainMilliseconds = 40;
}  // namespace

// Collects report lines on the worker for the window's thread to take.
class TProofRunner::TQueueSink : public TLineSink {
 public:
  void Add(std::string line) override {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
  }
  std::vector<std::string> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(lines_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

TProofRunner::TProofRunner(QObject* parent) : QObject(parent) {
  drainTimer_.setInterval(kDrainMilliseconds);
  connect(&drainTimer_, &QTimer::timeout, this, &TProofRunner::Drain);
}

TProofRunner::~TProofRunner() {
  if (Busy()) {
    RequestStop();
    Wait();
  }
}

bool TProofRunner::Start(TPLProgram& program, bool interactive) {
  if (Busy()) return false;
  running_ = &program;
  stop_.store(false);
  if (interactive) {
    sink_ = std::make_unique<TQueueSink>();
    program.Output = sink_.get();
  }
  auto poll = [this](TPLProgram& p) {
    if (stop_.load(std::memory_order_relaxed)) p.StopRequested = 1;
  };
  program.OnYield = poll;
  program.OnPoll = poll;
  // Set here as well as by the run itself, so the window's thread never reads it while the
  // worker writes it.
  Prover.ActiveProgram = &program;
  Prover.ActiveBindings = &program.Bindings;
  thread_ = QThread::create([&program] { RunProof(program); });
  thread_->setStackSize(kProofStackBytes);
  connect(thread_, &QThread::finished, this, &TProofRunner::Complete, Qt::QueuedConnection);
  thread_->start();
  drainTimer_.start();
  return true;
}

void TProofRunner::RequestStop() {
  if (Busy()) stop_.store(true);
}

void TProofRunner::Wait() {
  if (!Busy()) return;
  thread_->wait();
  Complete();
}

void TProofRunner::MakeActive(TPLProgram* program) {
  wantedActive_ = program;
  if (!Busy()) {
    Prover.ActiveProgram = program;
    Prover.ActiveBindings = program ? &program->Bindings : nullptr;
  }
}

void TProofRunner::Forget(TPLProgram* program) {
  if (wantedActive_ == program) wantedActive_ = nullptr;
}

void TProofRunner::Release(std::unique_ptr<TPLProgram> program) {
  Forget(program.get());
  if (Busy())
    released_.push_back(std::move(program));
  else
    program.reset();
}

void TProofRunner::Drain() {
  if (!sink_) return;
  auto lines = sink_->Take();
  if (!lines.empty()) emit Lines(lines);
}

void TProofRunner::Complete() {
  // Reached twice for one proof when `Wait` ran before the queued signal arrived.
  if (!Busy() || thread_->isRunning()) return;
  drainTimer_.stop();
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  Drain();
  TPLProgram* program = running_;
  program->OnYield = nullptr;
  program->OnPoll = nullptr;
  if (sink_) program->Output = nullptr;
  sink_.reset();
  running_ = nullptr;
  released_.clear();
  // The worker has ended: the engine's state is this thread's again.
  if (wantedActive_) MakeActive(wantedActive_);
  emit Finished(program);
}

}  // namespace velmoran::ui
