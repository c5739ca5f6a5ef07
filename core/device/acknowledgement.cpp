#include "device/acknowledgement.h"

#include <string>

namespace tavrik::device {

void Acknowledgement::clear() {
    MutexLock guard(m_mutex);
    m_flag = false;
}

Status Acknowledgement::wait() {
    MutexLock lock(m_mutex);
    m_changed.wait_for(lock.native(), m_bound,
                       [this]() TAVRIK_REQUIRES(m_mutex) { return m_flag || !m_readerAlive; });
    if (m_flag) return {};
    if (!m_readerAlive) {
        return Error{ErrorKind::Unplugged, "no acknowledgement: the event channel is closed"};
    }
    return Error{ErrorKind::NoAcknowledgement, "no acknowledgement from the keyboard within " +
                                                   std::to_string(m_bound.count()) + " ms"};
}

void Acknowledgement::set() {
    {
        MutexLock guard(m_mutex);
        m_flag = true;
    }
    m_changed.notify_all();
}

void Acknowledgement::setReaderAlive(bool alive) {
    {
        MutexLock guard(m_mutex);
        m_readerAlive = alive;
    }
    m_changed.notify_all();
}

}  // namespace tavrik::device
