#pragma once
// A worker thread's QCoreApplication::postEvent to a QObject, made visible to ThreadSanitizer.
// Qt is not built with TSan, so the lock of its posted-event queue is invisible to it and an event
// a worker builds and posts would read as a race. Under TSan, announceHandOver releases after the
// event is built and before it is posted, and the filter watchHandOvers installs acquires before
// the receiver handles an event. In other builds both do nothing. (A queued invokeMethod copies
// its functor inside Qt, after any release the caller could make: not covered.)

#include <QObject>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace tavrik::app {

#if defined(__SANITIZE_THREAD__)
class HandOverWatch final : public QObject {
public:
    explicit HandOverWatch(QObject* receiver) : QObject(receiver) {
        receiver->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent*) override {
        __tsan_acquire(watched);
        return false;
    }
};
// Call in the receiver's thread; the watch is the receiver's child.
inline void watchHandOvers(QObject* receiver) {
    new HandOverWatch(receiver);
}
inline void announceHandOver(QObject* receiver) {
    if (receiver) __tsan_release(receiver);
}
#else
inline void watchHandOvers(QObject*) {}
inline void announceHandOver(QObject*) {}
#endif

}  // namespace tavrik::app
