// The few thread services that the C++ runtime of a shipped Windows program asks
// for, on the system's own primitives instead of the POSIX-thread library that
// the compiler brings (some 26 KB in Tolvar.exe, most of it thread creation and
// scheduling that the program never uses):
//
// - the guard of a function's static variable, so that it is made once however
//   many threads reach it (the compiler calls __cxa_guard_acquire when the
//   guard's first byte says "not made yet");
// - the mutex, once-flag and thread-local slot through which the exception
//   machinery keeps its emergency memory pool and each thread's caught
//   exceptions.
//
// Linked as an object of each program that takes it (tolvar_thread_services),
// never from a static library, so these definitions come before the thread
// library's. Should anything in a program ever need a further name of that
// library's core (creating threads, say), the link fails with a duplicate
// definition rather than bringing a second implementation along. Only x86-64:
// there, one calling convention serves both the runtime's and the system's
// callbacks.
#include <windows.h>

#include <cstdint>

#ifndef _WIN64
#error "the thread services are written for x86-64 Windows"
#endif

namespace {

// The thread library's names for its types: a mutex and a once-flag are a
// pointer-sized and a long integer the caller owns, a slot is an index.
using Mutex = std::intptr_t;
using OnceFlag = long;
using SlotKey = unsigned;

// The thread library's static initializer of a mutex (its GENERIC_INITIALIZER);
// objects compiled against its header hold this value until first used.
constexpr Mutex kStaticallyInitialized = -1;

static_assert(sizeof(Mutex) == sizeof(SRWLOCK), "the mutex holds a slim reader/writer lock in place");

// The mutex word as the lock it holds, made a lock on its first use.
PSRWLOCK LockOf(Mutex* mutex) {
  Mutex expected = kStaticallyInitialized;
  __atomic_compare_exchange_n(mutex, &expected, Mutex{0}, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE);
  return reinterpret_cast<PSRWLOCK>(mutex);
}

// Waits, giving up the processor, until another thread has moved `flag` past
// `busy`. Only ever reached when two threads meet at one initialization.
void WaitWhile(volatile char* flag, char busy) {
  while (__atomic_load_n(flag, __ATOMIC_ACQUIRE) == busy) ::SwitchToThread();
}

}  // namespace

extern "C" {

int pthread_mutex_init(Mutex* mutex, const void* /*attributes: only the default kind is asked for*/) {
  *mutex = 0;  // SRWLOCK_INIT
  return 0;
}

int pthread_mutex_destroy(Mutex*) { return 0; }  // a slim lock holds nothing to free

int pthread_mutex_lock(Mutex* mutex) {
  ::AcquireSRWLockExclusive(LockOf(mutex));
  return 0;
}

int pthread_mutex_unlock(Mutex* mutex) {
  ::ReleaseSRWLockExclusive(LockOf(mutex));
  return 0;
}

// 0: not run, 1: running in some thread, 2: done.
int pthread_once(OnceFlag* flag, void (*routine)()) {
  if (__atomic_load_n(flag, __ATOMIC_ACQUIRE) == 2) return 0;
  OnceFlag expected = 0;
  if (__atomic_compare_exchange_n(flag, &expected, 1, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE)) {
    routine();
    __atomic_store_n(flag, 2, __ATOMIC_RELEASE);
    return 0;
  }
  while (__atomic_load_n(flag, __ATOMIC_ACQUIRE) != 2) ::SwitchToThread();
  return 0;
}

// A thread-local slot of the system. Its destructor would free a thread's
// exception bookkeeping when that thread ends; these programs run C++ code on
// their main thread only, whose memory ends with the process, so it is not
// kept.
int pthread_key_create(SlotKey* key, void (*/*destructor*/)(void*)) {
  const DWORD slot = ::TlsAlloc();
  if (slot == TLS_OUT_OF_INDEXES) return 11;  // EAGAIN
  *key = slot;
  return 0;
}

void* pthread_getspecific(SlotKey key) { return ::TlsGetValue(key); }

int pthread_setspecific(SlotKey key, const void* value) {
  return ::TlsSetValue(key, const_cast<void*>(value)) ? 0 : 22;  // EINVAL
}

// The guard of a static variable: byte 0 says "made" (the compiler reads it
// before calling), byte 1 says "being made by some thread".
int __cxa_guard_acquire(std::int64_t* guard) {
  auto* bytes = reinterpret_cast<volatile char*>(guard);
  for (;;) {
    if (__atomic_load_n(&bytes[0], __ATOMIC_ACQUIRE) != 0) return 0;
    char expected = 0;
    if (__atomic_compare_exchange_n(&bytes[1], &expected, char{1}, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE)) {
      if (__atomic_load_n(&bytes[0], __ATOMIC_ACQUIRE) == 0) return 1;  // the caller makes it
      __atomic_store_n(&bytes[1], char{0}, __ATOMIC_RELEASE);
      return 0;
    }
    WaitWhile(&bytes[1], 1);  // made now, or given up after an exception: look again
  }
}

void __cxa_guard_release(std::int64_t* guard) {
  auto* bytes = reinterpret_cast<volatile char*>(guard);
  __atomic_store_n(&bytes[0], char{1}, __ATOMIC_RELEASE);
  __atomic_store_n(&bytes[1], char{0}, __ATOMIC_RELEASE);
}

void __cxa_guard_abort(std::int64_t* guard) {
  __atomic_store_n(&reinterpret_cast<volatile char*>(guard)[1], char{0}, __ATOMIC_RELEASE);
}

}  // extern "C"
