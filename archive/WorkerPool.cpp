#include "archive/WorkerPool.h"

#include <algorithm>

namespace tolvar {

int ProcessorCount() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

WorkerPool::WorkerPool(int threads) {
  const int count = std::max(1, threads);
  workers_.reserve(static_cast<std::size_t>(count));
  try {
    for (int i = 0; i < count; ++i) workers_.emplace_back([this, i] { Work(i); });
  } catch (...) {
    // No destructor runs for a pool that was never made: stop the workers here.
    Stop();
    throw;
  }
}

WorkerPool::~WorkerPool() { Stop(); }

void WorkerPool::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    tasks_.clear();
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::Submit(Task task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void WorkerPool::Work(int worker) {
  for (;;) {
    Task task;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
      if (stopping_) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task(worker);
    // `task` goes here, and with it whatever it held (a member's input).
  }
}

}  // namespace tolvar
