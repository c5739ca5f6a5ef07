#pragma once
// Clang's thread-safety annotations, and a mutex that carries them: libstdc++'s std::mutex is
// not annotated, so members guarded by one cannot be checked. With clang and -Wthread-safety
// the compiler checks that a TAVRIK_GUARDED_BY member is only touched with its mutex held and
// that a TAVRIK_REQUIRES function is only called so; with other compilers the macros are empty.
// A ThreadRole is a capability too: what one thread owns is TAVRIK_GUARDED_BY its role.

#include <atomic>
#include <cassert>
#include <condition_variable>
#include <mutex>
#include <thread>

#if defined(__clang__)
#define TAVRIK_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define TAVRIK_THREAD_ANNOTATION(x)
#endif

#define TAVRIK_CAPABILITY(name) TAVRIK_THREAD_ANNOTATION(capability(name))
#define TAVRIK_SCOPED_CAPABILITY TAVRIK_THREAD_ANNOTATION(scoped_lockable)
#define TAVRIK_GUARDED_BY(mutex) TAVRIK_THREAD_ANNOTATION(guarded_by(mutex))
#define TAVRIK_PT_GUARDED_BY(mutex) TAVRIK_THREAD_ANNOTATION(pt_guarded_by(mutex))
#define TAVRIK_REQUIRES(...) TAVRIK_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define TAVRIK_ACQUIRE(...) TAVRIK_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define TAVRIK_RELEASE(...) TAVRIK_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define TAVRIK_EXCLUDES(...) TAVRIK_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define TAVRIK_ASSERT_CAPABILITY(x) TAVRIK_THREAD_ANNOTATION(assert_capability(x))
#define TAVRIK_NO_THREAD_SAFETY_ANALYSIS TAVRIK_THREAD_ANNOTATION(no_thread_safety_analysis)

namespace tavrik {

// A std::mutex the analysis knows as a capability.
class TAVRIK_CAPABILITY("mutex") Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() TAVRIK_ACQUIRE() { m_native.lock(); }
    void unlock() TAVRIK_RELEASE() { m_native.unlock(); }

private:
    friend class MutexLock;
    std::mutex m_native;
};

// Holds a Mutex for its lifetime. native() is for std::condition_variable, whose waits give the
// mutex up and take it back before they return, so the lock is held again afterwards; a wait's
// predicate runs with the mutex held and is annotated TAVRIK_REQUIRES.
class TAVRIK_SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) TAVRIK_ACQUIRE(mutex) : m_lock(mutex.m_native) {}
    ~MutexLock() TAVRIK_RELEASE() {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    // Gives the mutex up for a while (a loop that blocks outside it), and takes it back.
    void unlock() TAVRIK_RELEASE() { m_lock.unlock(); }
    void lock() TAVRIK_ACQUIRE() { m_lock.lock(); }
    std::unique_lock<std::mutex>& native() { return m_lock; }

private:
    std::unique_lock<std::mutex> m_lock;
};

// The role of one thread (a worker, an owner): what only that thread touches is
// TAVRIK_GUARDED_BY(role), what only it may call TAVRIK_REQUIRES(role). The role is bound to a
// thread at run time; assertHeld() checks, where asserts are on, that the calling thread is that
// one, and tells the analysis that the role is held from there on.
class TAVRIK_CAPABILITY("role") ThreadRole {
public:
    ThreadRole() = default;  // bound to no thread
    ThreadRole(const ThreadRole&) = delete;
    ThreadRole& operator=(const ThreadRole&) = delete;

    void bindToThisThread() { m_thread.store(std::this_thread::get_id()); }
    bool isCurrent() const { return m_thread.load() == std::this_thread::get_id(); }
    void assertHeld() const TAVRIK_ASSERT_CAPABILITY(this) { assert(isCurrent()); }
    // For what would deadlock there (a thread that waits for itself).
    void assertNotHeld() const { assert(!isCurrent()); }

private:
    std::atomic<std::thread::id> m_thread{};
};

}  // namespace tavrik
