#pragma once
// Where the hook's reports go: the window and mode, guarded so that a backend thread never
// posts after the target was cleared.

#include <QObject>
#include <mutex>

namespace tavrik::app {

class HookTarget {
public:
    void set(QObject* window, int mode);
    void clear();
    bool isSet() const;
    // Posts WM_HOOKKEY to the window when set; releases only in mode 1; vk 0 is never posted.
    void report(int vk, bool released) const;

private:
    mutable std::mutex m_mutex;
    QObject* m_window = nullptr;
    int m_mode = 0;
};

}  // namespace tavrik::app
