// Runs one proof at a time off the window's thread.
//
// The engine keeps its working state in process-wide variables that belong to the one proof that
// runs, so the program runs at most one proof at a time, whichever window starts it. The proof
// runs on a worker thread with a large stack (the linear search recurses deeply), which leaves
// the window's event loop free to repaint and take the stop command at any moment.
//
// Crossing threads: the worker touches only the running prover object and the engine's state;
// the window's thread touches neither until the proof has finished (`Busy()` false). Report
// lines for the output pane go through a locked queue that a timer drains; the stop command is
// an atomic flag that the engine's yield and poll points copy into `StopRequested`; what the proof
// has done so far (resolvents stored, heap in use) is published by the same points through
// atomics that the window reads on its own clock; the end of
// the run is an atomic flag that the same timer reads before it joins the thread. Only these
// standard primitives cross, none of the toolkit's, so a thread checker sees every hand-over.
// `ActiveProgram` stays on the running object until its proof returns: a window that becomes
// active meanwhile has its object made active when the proof ends.
//
// A prover object that a window gives up (replaced after a stop, or its window closed) may hold
// all the memory of a long proof. It is destroyed on a thread of its own, so the window stays
// usable while the memory goes back; since destruction touches the engine's state, that thread
// counts as a running proof for the engine (objects made active or started wait for it), though
// not for the windows (`Busy()` stays false).
#pragma once

#include <pthread.h>

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "prover/program.h"
#include "report/line_sink.h"

namespace velmoran::ui {

class TProofRunner : public QObject {
  Q_OBJECT

 public:
  explicit TProofRunner(QObject* parent = nullptr);
  ~TProofRunner() override;  // stops a running proof and waits for it and for every disposal

  bool Busy() const { return running_ != nullptr; }
  // The limit that stopped the last proof ("memory limit"), or null; read it after `Finished`.
  const char* LimitReached() const { return Busy() ? nullptr : limits_.Reached; }
  const TPLProgram* Running() const { return running_; }

  struct TProgress {
    double Seconds = 0;
    std::int64_t Resolvents = 0;  // stored for the query being proved (the last one, after the end)
    std::int64_t HeapBytes = 0;   // heap the proof holds beyond what the program held before it
  };
  // The running proof's figures as its thread last published them: the resolvent count at every
  // yield and poll point, the heap at every 64th. After the end, the last proof's final figures.
  TProgress Progress() const;
  // Queries the last proof searched; read it after `Finished`. A run that ends in a syntax error
  // before its first query has proved nothing.
  int QueriesDone() const { return queriesDone_.load(std::memory_order_relaxed); }
  // The derivation of the refutation that the last proof's report names as its best (that of its
  // last query), as Graphviz lines; empty when that query was not refuted. Taken by the worker
  // as its run ends, while the records it reads still belong to it; read it after `Finished`.
  const std::vector<std::string>& Derivation() const { return derivation_; }

  // Starts `program`'s proof of its `SourceText` on the worker. With `interactive`, report lines
  // are delivered through `Lines`; otherwise `program.Output` must already point at a list that
  // only the worker touches until `Finished`. Returns false, changing nothing, while busy or
  // when no thread can be made. A disposal still under way is waited for first.
  bool Start(TPLProgram& program, bool interactive);
  // The stop command: takes effect at the running proof's next yield or poll point.
  void RequestStop();
  // Blocks until the running proof has returned and `Finished` has been emitted, and until every
  // object released so far is destroyed.
  void Wait();

  // Makes `program` the `ActiveProgram` now, or when the running proof returns.
  void MakeActive(TPLProgram* program);
  // Destroys an idle prover object on a thread of its own: at once, or when the running proof
  // returns, because destruction reads `ActiveProgram`, which the worker may write meanwhile.
  void Release(std::unique_ptr<TPLProgram> program);
  // A released object is being destroyed.
  bool Disposing() const { return disposing_; }

 signals:
  // Report lines of an interactive proof, one-byte text, in order.
  void Lines(const std::vector<std::string>& lines);
  // The proof has returned; the window may read and replace the prover object.
  void Finished(TPLProgram* program);

 private:
  class TQueueSink;
  void Tick();
  void Drain();
  void Complete();
  bool EngineBusy() const { return Busy() || disposing_; }
  void StartDisposal();
  // Joins the disposal thread once it has ended (or at once with `block`), starts the next
  // disposal if objects were released meanwhile, and makes the wanted object active when none
  // is left.
  void EndDisposal(bool block);

  TPLProgram* running_ = nullptr;
  TPLProgram* wantedActive_ = nullptr;
  pthread_t thread_{};
  std::atomic<bool> done_{false};
  std::unique_ptr<TQueueSink> sink_;
  std::vector<std::unique_ptr<TPLProgram>> released_;
  // Only the disposal thread touches these objects while it runs.
  std::vector<std::unique_ptr<TPLProgram>> disposed_;
  bool disposing_ = false;
  pthread_t disposer_{};
  std::atomic<bool> disposalDone_{false};
  std::atomic<bool> stop_{false};
  std::atomic<int> queriesDone_{0};
  // Written by the worker before `done_`, read by the window's thread after the join.
  std::vector<std::string> derivation_;
  std::atomic<std::int64_t> resolvents_{0};
  std::atomic<std::int64_t> heapBytes_{0};
  std::int64_t startHeap_ = 0;
  QElapsedTimer clock_;
  double lastSeconds_ = 0;
  // Only the worker touches it while the proof runs: a fixed heap cap, half the machine's memory.
  TRunLimits limits_;
  QTimer drainTimer_;
};

}  // namespace velmoran::ui
