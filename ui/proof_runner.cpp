#include "ui/proof_runner.h"

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "prover/search.h"
#include "report/derivation_dot.h"
#include "report/measure.h"
#include "report/report.h"

namespace velmoran::ui {

namespace {
// The command-line prover runs proofs on the same stack: the linear search may recurse to its
// depth limit.
constexpr std::size_t kProofStackBytes = std::size_t{1} << 30;
// Lines reach the pane in batches, and the end of a run is noticed, at this pace: often enough
// to read as they come, rarely enough that storing them in the pane never slows the proof.
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
  connect(&drainTimer_, &QTimer::timeout, this, &TProofRunner::Tick);
}

TProofRunner::~TProofRunner() {
  RequestStop();
  Wait();
}

bool TProofRunner::Start(TPLProgram& program, bool interactive) {
  if (Busy()) return false;
  while (disposing_) EndDisposal(true);
  running_ = &program;
  stop_.store(false);
  if (interactive) {
    sink_ = std::make_unique<TQueueSink>();
    program.Output = sink_.get();
  }
  // The derivation is printed whenever a refutation becomes the best one, never into the report.
  Report.ProofWanted = true;
  derivation_.clear();
  limits_ = TRunLimits{};
  limits_.MaxHeapBytes = DefaultHeapCap();
  limits_.Start();
  startHeap_ = HeapBytesInUse();
  heapBytes_.store(startHeap_);
  resolvents_.store(0);
  // The count the hooks publish is the engine's own, which keeps the last proof's figure until the
  // first query of this one resets it; the engine is idle, so this thread may set it.
  Statistics.ResolventCount = 0;
  clock_.start();
  // Each hook counts its own calls: reading the heap is cheap with the program's own count but
  // walks the allocator's lists under a sanitizer.
  auto poll = [this, calls = 0u](TPLProgram& p) mutable {
    if (stop_.load(std::memory_order_relaxed)) p.StopRequested = 1;
    limits_.Check(p);
    // The search's own count: the list is emptied when a query's report is written.
    resolvents_.store(Statistics.ResolventCount, std::memory_order_relaxed);
    if ((++calls & 63) == 0) heapBytes_.store(HeapBytesInUse(), std::memory_order_relaxed);
  };
  program.OnYield = poll;
  program.OnPoll = poll;
  queriesDone_.store(0);
  program.OnQueryDone = [this](TPLProgram&) { queriesDone_.fetch_add(1); };
  // Set here as well as by the run itself, so the window's thread never reads it while the
  // worker writes it.
  Activate(&program);
  done_.store(false);
  pthread_attr_t attr;
  bool made = pthread_attr_init(&attr) == 0;
  if (made) {
    pthread_attr_setstacksize(&attr, kProofStackBytes);
    auto entry = [](void* self) -> void* {
      auto* runner = static_cast<TProofRunner*>(self);
      TPLProgram& program = *runner->running_;
      RunProof(program);
      // The best derivation so far belongs to the last query, as does the report's best degree.
      std::vector<std::string> best = std::exchange(Report.BestProof, {});
      if (program.RefutationFound && !best.empty()) runner->derivation_ = DerivationDot(best);
#if defined(__GLIBC__)
      // A proof that ended by itself has freed its resolvents; a stopped one still holds them
      // and gives them back through the disposal, which must not wait for this.
      if (!program.StopRequested) malloc_trim(0);
#endif
      runner->done_.store(true, std::memory_order_release);
      // Only a wake-up, so the end is noticed at once rather than at the next tick: what the
      // window's thread reads afterwards is handed over by `done_` and the join.
      QMetaObject::invokeMethod(runner, &TProofRunner::Tick, Qt::QueuedConnection);
      return nullptr;
    };
    made = pthread_create(&thread_, &attr, entry, this) == 0;
    pthread_attr_destroy(&attr);
  }
  if (!made) {
    program.OnYield = nullptr;
    program.OnPoll = nullptr;
    program.OnQueryDone = nullptr;
    if (sink_) program.Output = nullptr;
    sink_.reset();
    running_ = nullptr;
    return false;
  }
  drainTimer_.start();
  return true;
}

TProofRunner::TProgress TProofRunner::Progress() const {
  TProgress progress;
  progress.Seconds = Busy() ? static_cast<double>(clock_.elapsed()) / 1000 : lastSeconds_;
  progress.Resolvents = resolvents_.load(std::memory_order_relaxed);
  progress.HeapBytes =
      std::max<std::int64_t>(0, heapBytes_.load(std::memory_order_relaxed) - startHeap_);
  return progress;
}

void TProofRunner::RequestStop() {
  if (Busy()) stop_.store(true);
}

void TProofRunner::Wait() {
  if (Busy()) {
    pthread_join(thread_, nullptr);
    done_.store(true);
    Complete();
  }
  while (disposing_) EndDisposal(true);
}

void TProofRunner::MakeActive(TPLProgram* program) {
  wantedActive_ = program;
  if (!EngineBusy()) {
    Activate(program);
  }
}

void TProofRunner::Release(std::unique_ptr<TPLProgram> program) {
  if (!program) return;
  if (wantedActive_ == program.get()) wantedActive_ = nullptr;  // it must not become active
  released_.push_back(std::move(program));
  if (!EngineBusy()) StartDisposal();
}

void TProofRunner::StartDisposal() {
  disposed_ = std::exchange(released_, {});
  disposalDone_.store(false);
  auto entry = [](void* self) -> void* {
    auto* runner = static_cast<TProofRunner*>(self);
    runner->disposed_.clear();
#if defined(__GLIBC__)
    // The allocator keeps freed memory for the process, and a desktop session must not hold the
    // gigabytes of its largest proof: this gives the free pages back to the system.
    malloc_trim(0);
#endif
    runner->disposalDone_.store(true, std::memory_order_release);
    QMetaObject::invokeMethod(runner, &TProofRunner::Tick, Qt::QueuedConnection);
    return nullptr;
  };
  if (pthread_create(&disposer_, nullptr, entry, this) != 0) {
    disposed_.clear();  // no thread to spare: the window waits instead
    return;
  }
  disposing_ = true;
  drainTimer_.start();
}

void TProofRunner::EndDisposal(bool block) {
  if (!disposing_ || (!block && !disposalDone_.load(std::memory_order_acquire))) return;
  pthread_join(disposer_, nullptr);
  disposing_ = false;
  if (!released_.empty()) {
    StartDisposal();
    if (disposing_) return;
  }
  if (!Busy()) drainTimer_.stop();
  if (wantedActive_) MakeActive(wantedActive_);
}

void TProofRunner::Tick() {
  EndDisposal(false);
  if (!Busy()) return;  // a wake-up that `Wait` overtook
  Drain();
  if (done_.load(std::memory_order_acquire)) {
    pthread_join(thread_, nullptr);
    Complete();
  }
}

void TProofRunner::Drain() {
  if (!sink_) return;
  auto lines = sink_->Take();
  if (!lines.empty()) emit Lines(lines);
}

void TProofRunner::Complete() {
  // The worker has been joined.
  drainTimer_.stop();
  lastSeconds_ = static_cast<double>(clock_.elapsed()) / 1000;
  // The last query's count, including what it stored after the last hook ran.
  resolvents_.store(Statistics.ResolventCount);
  Drain();
  TPLProgram* program = running_;
  program->OnYield = nullptr;
  program->OnPoll = nullptr;
  program->OnQueryDone = nullptr;
  if (sink_) program->Output = nullptr;
  sink_.reset();
  running_ = nullptr;
  // The worker has ended: the engine's state is this thread's again, until the objects released
  // meanwhile go.
  if (wantedActive_) MakeActive(wantedActive_);
  if (!released_.empty()) StartDisposal();
  emit Finished(program);
}

}  // namespace velmoran::ui
