#pragma once
// Where the hook's reports go: the receiver and mode, guarded so that a backend thread never
// posts after the target was cleared.

#include <mutex>

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
    mutable std::mutex m_mutex;
    HookReports* m_reports = nullptr;
    int m_mode = 0;
};

}  // namespace tavrik::app
