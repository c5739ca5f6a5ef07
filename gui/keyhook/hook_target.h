#pragma once
// Where the hook's reports go: the receiver and mode, guarded so that a backend thread never
// posts after the target was cleared.

#include "common/thread_annotations.h"
#include "keyhook/hook_reports.h"

namespace tavrik::app {

class HookTarget {
public:
    void set(HookReports* reports, int mode);
    void clear();
    bool isSet() const;
    // Posts the key to the receiver when set; releases only in mode 1; vk 0 is never posted.
    void report(int vk, bool released) const;

private:
    mutable Mutex m_mutex;
    HookReports* m_reports TAVRIK_GUARDED_BY(m_mutex) = nullptr;
    int m_mode TAVRIK_GUARDED_BY(m_mutex) = 0;
};

}  // namespace tavrik::app
