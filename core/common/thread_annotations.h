#pragma once
// Clang's thread-safety annotations, and a mutex that carries them: libstdc++'s std::mutex is
// not annotated, so members guarded by one cannot be checked. With clang and -Wthread-safety
// the compiler checks that a TAVRIK_GUARDED_BY member is only touched with its mutex held and
// that a TAVRIK_REQUIRES function is only called so; with other compilers the macros are empty.

#include <condition_variable>
#include <mutex>

#if defined(__clang__)
#define TAVRIK_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define TAVRIK_THREAD_ANNOTATION(x)
#endif

#define TAVRIK_CAPABILITY(name) TAVRIK_THREAD_ANNOTATION(capability(name))
#define TAVRIK_SCOPED_CAPABILITY TAVRIK_THREAD_ANNOTATION(scoped_lockable)
#define TAVRIK_GUARDED_BY(mutex) TAVRIK_THREAD_ANNOTATION(guarded_by(mutex))
#define TAVRIK_REQUIRES(...) TAVRIK_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define TAVRIK_ACQUIRE(...) TAVRIK_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define TAVRIK_RELEASE(...) TAVRIK_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define TAVRIK_EXCLUDES(...) TAVRIK_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))

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

}  // namespace tavrik
