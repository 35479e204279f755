// The C++ runtime's thread services on the system's locks (ThreadServices_win):
// threads that meet at a static variable, a thread-local variable, a mutex or an
// exception each get what the POSIX-thread library would give them. The threads
// are the system's own (CreateThread): this program links no thread library,
// and so no test framework either (the framework's own waits need one). Each
// failed check is printed; the exit code is the number of failed checks.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" int pthread_mutex_lock(std::intptr_t* mutex);
extern "C" int pthread_mutex_unlock(std::intptr_t* mutex);
extern "C" int pthread_once(long* flag, void (*routine)());

namespace {

int failures = 0;
const char* currentTest = "";

void Check(bool holds, const char* what, int line) {
  if (holds) return;
  ++failures;
  std::printf("FAILED in %s, line %d: %s\n", currentTest, line, what);
}
#define EXPECT_TRUE(condition) Check((condition), #condition, __LINE__)
#define EXPECT_EQ(a, b) Check((a) == (b), #a " == " #b, __LINE__)
#define ASSERT_EQ(a, b) EXPECT_EQ(a, b)
#define ASSERT_NE(a, b) Check((a) != (b), #a " != " #b, __LINE__)
#define EXPECT_THROW(statement, type)              \
  do {                                             \
    bool thrown = false;                           \
    try {                                          \
      statement;                                   \
    } catch (const type&) {                        \
      thrown = true;                               \
    }                                              \
    Check(thrown, #statement " throws", __LINE__); \
  } while (false)

constexpr int kThreads = 8;

// Runs `work(index)` on kThreads system threads released at one moment.
template <typename Work>
void OnThreadsAtOnce(Work work) {
  struct Start {
    Work* work;
    HANDLE go;
    int index;
  };
  const HANDLE go = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<Start> starts;
  starts.reserve(kThreads);
  std::vector<HANDLE> threads;
  for (int i = 0; i < kThreads; ++i) {
    starts.push_back({&work, go, i});
    threads.push_back(::CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
          auto* start = static_cast<Start*>(parameter);
          ::WaitForSingleObject(start->go, INFINITE);
          (*start->work)(start->index);
          return 0;
        },
        &starts.back(), 0, nullptr));
    ASSERT_NE(threads.back(), nullptr);
  }
  ::SetEvent(go);
  ASSERT_EQ(::WaitForMultipleObjects(kThreads, threads.data(), TRUE, 60000), WAIT_OBJECT_0);
  for (const HANDLE thread : threads) ::CloseHandle(thread);
  ::CloseHandle(go);
}

std::atomic<int> made{0};

struct SlowToMake {
  SlowToMake() {
    ++made;
    ::Sleep(50);  // long enough for the other threads to arrive and wait
    ready = true;
  }
  bool ready = false;
};

const SlowToMake& TheSlowOne() {
  static const SlowToMake one;
  return one;
}

void AStaticReachedByManyThreadsAtOnceIsMadeOnceAndSeenMade() {
  std::atomic<int> sawReady{0};
  std::vector<const SlowToMake*> seen(kThreads);
  OnThreadsAtOnce([&](int index) {
    const SlowToMake& one = TheSlowOne();
    seen[static_cast<std::size_t>(index)] = &one;
    if (one.ready) ++sawReady;
  });
  EXPECT_EQ(made.load(), 1);
  EXPECT_EQ(sawReady.load(), kThreads);
  for (const SlowToMake* one : seen) EXPECT_EQ(one, &TheSlowOne());
}

int attempts = 0;

struct FailsFirst {
  FailsFirst() {
    if (++attempts == 1) throw std::runtime_error("first attempt");
  }
};

void AStaticWhoseMakingThrowsIsMadeAgainOnTheNextCall() {
  const auto reach = [] {
    static FailsFirst value;
    return &value;
  };
  EXPECT_THROW(reach(), std::runtime_error);
  const FailsFirst* second = reach();
  EXPECT_EQ(reach(), second);
  EXPECT_EQ(attempts, 2);
}

// Trivially destroyed: one with a destructor would need the thread library's
// exit hooks, which the programs do not link.
thread_local int ownNumber = -1;

void EachThreadHasItsOwnThreadLocalAndItsOwnExceptionInFlight() {
  std::vector<int> numbers(kThreads);
  std::vector<std::string> caught(kThreads);
  OnThreadsAtOnce([&](int index) {
    const std::string mine = "thread " + std::to_string(index);
    ownNumber = index;
    try {
      try {
        throw std::runtime_error(mine);
      } catch (const std::exception&) {
        ::Sleep(10);  // the others throw and catch meanwhile
        throw;        // the exception in flight is still this thread's own
      }
    } catch (const std::exception& error) {
      caught[static_cast<std::size_t>(index)] = error.what();
    }
    numbers[static_cast<std::size_t>(index)] = ownNumber;
  });
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(numbers[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(caught[static_cast<std::size_t>(i)], "thread " + std::to_string(i));
  }
  EXPECT_EQ(ownNumber, -1);  // the main thread's own was never touched
}

std::intptr_t staticMutex = -1;  // the thread library's static initializer
long onceFlag = 0;
int onceRuns = 0;

void AStaticallyInitializedMutexExcludesAndARoutineRunsOnce() {
  std::int64_t counter = 0;
  OnThreadsAtOnce([&](int) {
    pthread_once(&onceFlag, [] {
      ::Sleep(20);
      ++onceRuns;
    });
    for (int i = 0; i < 20000; ++i) {
      pthread_mutex_lock(&staticMutex);
      counter = counter + 1;  // a read and a write that two threads must not interleave
      pthread_mutex_unlock(&staticMutex);
    }
  });
  EXPECT_EQ(counter, std::int64_t{kThreads} * 20000);
  EXPECT_EQ(onceRuns, 1);
}

}  // namespace

int main() {
  currentTest = "AStaticReachedByManyThreadsAtOnceIsMadeOnceAndSeenMade";
  AStaticReachedByManyThreadsAtOnceIsMadeOnceAndSeenMade();
  currentTest = "AStaticWhoseMakingThrowsIsMadeAgainOnTheNextCall";
  AStaticWhoseMakingThrowsIsMadeAgainOnTheNextCall();
  currentTest = "EachThreadHasItsOwnThreadLocalAndItsOwnExceptionInFlight";
  EachThreadHasItsOwnThreadLocalAndItsOwnExceptionInFlight();
  currentTest = "AStaticallyInitializedMutexExcludesAndARoutineRunsOnce";
  AStaticallyInitializedMutexExcludesAndARoutineRunsOnce();
  std::printf("%d tests, %d failed checks\n", 4, failures);
  return failures;
}
