#include "archive/OrderedOutput.h"

namespace tolvar {
namespace {

// What a part costs besides its bytes: its bookkeeping, so that a long run of
// empty files and folders counts too.
constexpr std::size_t kPartOverhead = 256;

}  // namespace

OrderedOutput::OrderedOutput(Stream& out, int threads, std::size_t limit)
    : out_(out), limit_(limit), pool_(threads) {}

void OrderedOutput::Add(std::shared_ptr<Part> part) {
  // Make room first: the oldest parts go out until this one fits, or until
  // nothing else is held (a part larger than the limit then goes alone).
  while (!parts_.empty() && held_ + part->cost > limit_) {
    WaitForOldest();
    WriteReady();
  }
  held_ += part->cost;
  parts_.push_back(std::move(part));
}

void OrderedOutput::AddBytes(std::vector<std::uint8_t> bytes) {
  auto part = std::make_shared<Part>();
  part->cost = bytes.size() + kPartOverhead;
  part->bytes = std::move(bytes);
  part->done = true;
  Add(std::move(part));
}

void OrderedOutput::AddStep(Step step) {
  auto part = std::make_shared<Part>();
  part->cost = kPartOverhead;
  part->step = std::move(step);
  part->done = true;
  Add(std::move(part));
}

void OrderedOutput::AddWork(Work work, std::size_t inputBytes) {
  auto part = std::make_shared<Part>();
  // The output is about as large as the input at worst.
  part->cost = 2 * inputBytes + kPartOverhead;
  Add(part);
  pool_.Submit([this, part, work = std::move(work)](int worker) {
    std::exception_ptr error;
    try {
      work(part->bytes, worker);
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      part->error = error;
      part->done = true;
    }
    partDone_.notify_all();
  });
}

void OrderedOutput::WaitForOldest() {
  std::unique_lock lock(mutex_);
  partDone_.wait(lock, [this] { return parts_.front()->done; });
}

void OrderedOutput::WriteReady() {
  while (!parts_.empty()) {
    const std::shared_ptr<Part> part = parts_.front();
    {
      std::lock_guard lock(mutex_);
      if (!part->done) return;
    }
    if (part->error) std::rethrow_exception(part->error);
    if (part->step) part->step(out_);
    out_.WriteBuffer(part->bytes.data(), part->bytes.size());
    held_ -= part->cost;
    parts_.pop_front();
  }
}

void OrderedOutput::WriteAll() {
  while (!parts_.empty()) {
    WaitForOldest();
    WriteReady();
  }
}

}  // namespace tolvar
