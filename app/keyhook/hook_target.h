#pragma once
// Where the hook's reports go: the window and mode, guarded so that a backend thread never
// posts after the target was cleared.

#include <QObject>

#include "common/thread_annotations.h"

namespace tavrik::app {

class HookTarget {
public:
    void set(QObject* window, int mode);
    void clear();
    bool isSet() const;
    // Posts WM_HOOKKEY to the window when set; releases only in mode 1; vk 0 is never posted.
    void report(int vk, bool released) const;

private:
    mutable Mutex m_mutex;
    QObject* m_window TAVRIK_GUARDED_BY(m_mutex) = nullptr;
    int m_mode TAVRIK_GUARDED_BY(m_mutex) = 0;
};

}  // namespace tavrik::app
