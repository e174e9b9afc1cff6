// The proof runner: lines cross from the worker in order, the stop flag reaches a long proof, its
// progress figures cross back, a second start is refused while one runs, and `ActiveProgram`
// stays on the running object.
// Built with VELMORAN_THREAD_SANITIZE, this is the test that shows the crossing race-free.
#include "ui/proof_runner.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <memory>
#include <thread>

#include "prover/program.h"
#include "report/line_sink.h"

using namespace velmoran;
using namespace velmoran::ui;

namespace {

// Breadth-first search over a theory with no refutation and ever longer terms: it runs until it
// is stopped.
constexpr const char* kEndless =
    "p(a); \xF7X [p(X) \xF4 p(f(X))]; \xF7X [p(X) \xF4 q(g(X), X)]; ?- r(b); ";

void Prepare(TPLProgram& program, const char* text) {
  SetMenuDefaults(program);
  program.ShowTime = program.ShowMemory = 0;
  program.SourceText = text;
}

}  // namespace

class ProofRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void InteractiveLinesArriveInOrderAndComplete() {
    TProofRunner runner;
    TPLProgram program;
    Prepare(program, "man(socrates); ?- man(socrates); ");
    std::vector<std::string> lines;
    connect(&runner, &TProofRunner::Lines, this, [&](const std::vector<std::string>& batch) {
      lines.insert(lines.end(), batch.begin(), batch.end());
    });
    QSignalSpy finished(&runner, &TProofRunner::Finished);
    QVERIFY(runner.Start(program, true));
    QVERIFY(finished.wait(10000));
    QVERIFY(!runner.Busy());
    QCOMPARE(lines.front(), std::string("Solution to \xACman(socrates):1; "));
    QCOMPARE(lines.back(), std::string("Best refutation degree: 1"));
    QVERIFY(program.Output == nullptr);  // the runner's queue is gone with the proof
  }

  void StopReachesALongProofAndASecondStartIsRefused() {
    TProofRunner runner;
    TPLProgram running, other;
    Prepare(running, kEndless);
    Prepare(other, "p; ?- p; ");
    running.Strategy = SearchStrategy::BreadthFirst;
    TLineList report;
    running.Output = &report;
    QSignalSpy finished(&runner, &TProofRunner::Finished);
    QVERIFY(runner.Start(running, false));
    QVERIFY(!runner.Start(other, false));
    QVERIFY(other.OnYield == nullptr);

    // Another window becomes active meanwhile: its object becomes active once the proof returns
    // (reading `ActiveProgram` before then would race with the worker).
    runner.MakeActive(&other);
    QTest::qWait(300);
    QVERIFY(runner.Busy());
    // The figures the window shows are read here while the worker publishes them.
    TProofRunner::TProgress early = runner.Progress();
    QTRY_VERIFY(runner.Progress().Resolvents > early.Resolvents);
    QVERIFY(runner.Progress().Seconds >= 0.3);
    runner.RequestStop();
    QVERIFY(finished.wait(10000));
    QCOMPARE(running.StopRequested, 1);
    // After the end: the final count, the number of resolvent lines in the report (the listing of
    // stored resolvents is off), and a clock that no longer runs.
    const TProofRunner::TProgress last = runner.Progress();
    QVERIFY(last.Resolvents > 0);
    const auto listed =
        std::count_if(report.Lines.begin(), report.Lines.end(), [](const std::string& l) {
          return l.size() > 1 && l[0] == 'R' && std::isdigit(static_cast<unsigned char>(l[1]));
        });
    QCOMPARE(last.Resolvents, static_cast<std::int64_t>(listed));
    QTest::qWait(50);
    QCOMPARE(runner.Progress().Seconds, last.Seconds);
    QCOMPARE(finished.first().first().value<TPLProgram*>(), &running);
    QCOMPARE(Prover.ActiveProgram, &other);
  }

  // A released object is destroyed off the window's thread, after the proof when one runs; a new
  // proof waits for it, and the object wanted active becomes active once it has gone.
  void ReleasedObjectsGoOnAnotherThread() {
    // An object whose hook holds the last copy of a token that tells, when it goes, on which
    // thread it went.
    auto released = [](std::shared_ptr<std::atomic<std::thread::id>> where) {
      auto program = std::make_unique<TPLProgram>();
      Prepare(*program, "p; ");
      std::shared_ptr<void> token(nullptr,
                                  [where](void*) { where->store(std::this_thread::get_id()); });
      program->OnQueryDone = [token](TPLProgram&) {};
      return program;
    };
    // Declared before the runner, so that they outlive its proofs even when a check fails.
    TPLProgram running, wanted, next;
    TLineList report, nextReport;
    TProofRunner runner;
    auto idle = std::make_shared<std::atomic<std::thread::id>>();
    runner.Release(released(idle));
    QTRY_VERIFY(!runner.Disposing());
    QVERIFY(idle->load() != std::thread::id());
    QVERIFY(idle->load() != std::this_thread::get_id());

    // Released while a proof runs: kept until the proof has returned.
    Prepare(running, kEndless);
    running.Strategy = SearchStrategy::BreadthFirst;
    running.Output = &report;
    auto during = std::make_shared<std::atomic<std::thread::id>>();
    QSignalSpy finished(&runner, &TProofRunner::Finished);
    QVERIFY(runner.Start(running, false));
    runner.Release(released(during));
    runner.MakeActive(&wanted);
    QTest::qWait(100);
    QCOMPARE(during->load(), std::thread::id());
    runner.RequestStop();
    QVERIFY(finished.wait(10000));
    runner.Wait();
    QVERIFY(during->load() != std::thread::id());
    QVERIFY(during->load() != std::this_thread::get_id());
    QCOMPARE(Prover.ActiveProgram, &wanted);

    // A start while an object is still going waits for it.
    auto before = std::make_shared<std::atomic<std::thread::id>>();
    runner.Release(released(before));
    Prepare(next, "p; ?- p; ");
    next.Output = &nextReport;
    QVERIFY(runner.Start(next, false));
    QVERIFY(before->load() != std::thread::id());
    QVERIFY(finished.wait(10000));
    QCOMPARE(nextReport.Lines.back(), std::string("Best refutation degree: 1"));
  }

  void WaitCompletesAtOnceAndOnlyOnce() {
    TProofRunner runner;
    TPLProgram program;
    Prepare(program, kEndless);
    TLineList report;
    program.Output = &report;
    QSignalSpy finished(&runner, &TProofRunner::Finished);
    QVERIFY(runner.Start(program, false));
    runner.RequestStop();
    runner.Wait();
    QCOMPARE(finished.count(), 1);
    QTest::qWait(100);  // the runner's timer, had it still run, would have ended the proof again
    QCOMPARE(finished.count(), 1);
    QVERIFY(!runner.Busy());
  }
};

QTEST_MAIN(ProofRunnerTest)
#include "proof_runner_test.moc"
