// A fixed set of worker threads that run submitted tasks, first come first
// served. Each task learns which worker runs it (0 to threads - 1), so that a
// worker can keep its own tools (an encoder's memory) from task to task.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tolvar {

// One worker per processor the system reports, at least one.
int ProcessorCount();

class WorkerPool {
 public:
  using Task = std::function<void(int worker)>;

  explicit WorkerPool(int threads);
  // Drops the tasks that have not started and waits for those that run.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // A task must not throw: it reports its own failures.
  void Submit(Task task);

 private:
  void Work(int worker);
  void Stop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;  // last: started after the rest is ready
};

}  // namespace tolvar
