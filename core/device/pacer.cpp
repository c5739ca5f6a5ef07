#include "device/pacer.h"

#include <thread>

namespace tavrik::device {

void SleepPacer::pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

void SleepPacer::yield() {
    std::this_thread::yield();
}

void RecordingPacer::pause(std::chrono::milliseconds duration) {
    MutexLock guard(m_mutex);
    if (m_keepLog) m_log.push_back(duration);
    m_elapsed += duration;
}

void RecordingPacer::yield() {
    pause(std::chrono::milliseconds{0});
}

std::vector<std::chrono::milliseconds> RecordingPacer::take() {
    MutexLock guard(m_mutex);
    std::vector<std::chrono::milliseconds> out;
    out.swap(m_log);
    return out;
}

std::vector<std::chrono::milliseconds> RecordingPacer::recorded() const {
    MutexLock guard(m_mutex);
    return m_log;
}

std::chrono::microseconds RecordingPacer::elapsed() const {
    MutexLock guard(m_mutex);
    return m_elapsed;
}

void RecordingPacer::setKeepLog(bool keep) {
    MutexLock guard(m_mutex);
    m_keepLog = keep;
    if (!keep) m_log.clear();
}

}  // namespace tavrik::device
