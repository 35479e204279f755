// The archive's bytes in the order the writer makes them, while some of them are
// still being compressed on worker threads: each part goes to the output stream
// as soon as every part before it has, on the writer's own thread. The parts not
// yet written, with the input their work holds, stay under a limit: a writer
// that would go beyond it first waits for the oldest part and writes it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "archive/WorkerPool.h"
#include "platform/Stream.h"

namespace tolvar {

class OrderedOutput {
 public:
  // Fills `out` from the input the work holds; runs on worker `worker`.
  using Work = std::function<void(std::vector<std::uint8_t>& out, int worker)>;
  // Runs on the writer's thread at its place in the order (the output holds
  // everything before it).
  using Step = std::function<void(Stream& out)>;

  OrderedOutput(Stream& out, int threads, std::size_t limit);
  // Drops the work that has not started and waits for the work that runs.
  ~OrderedOutput() = default;

  void AddBytes(std::vector<std::uint8_t> bytes);
  // `inputBytes`: what the work holds until it is done.
  void AddWork(Work work, std::size_t inputBytes);
  void AddStep(Step step);

  // Writes the parts that are ready, oldest first. Raises what a part's work
  // raised, and EStreamWriteError when the output takes less than it is given.
  void WriteReady();
  // Waits for every part and writes it.
  void WriteAll();

 private:
  struct Part {
    std::vector<std::uint8_t> bytes;
    Step step;
    std::size_t cost = 0;  // counted against the limit until written
    bool done = false;     // guarded by mutex_
    std::exception_ptr error;
  };

  void Add(std::shared_ptr<Part> part);
  void WaitForOldest();

  Stream& out_;
  const std::size_t limit_;
  std::size_t held_ = 0;  // the cost of the parts not yet written (writer's thread only)
  std::deque<std::shared_ptr<Part>> parts_;
  std::mutex mutex_;
  std::condition_variable partDone_;
  WorkerPool pool_;  // last: its workers stop before the rest goes
};

}  // namespace tolvar
