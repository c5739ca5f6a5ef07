#include "appprofiles/switch_planner.h"

#include <algorithm>
#include <utility>

namespace tavrik::appprofiles {

void SwitchPlanner::focusChanged(std::vector<std::string> ids, TimePoint now) {
    m_ids = std::move(ids);
    m_focusKnown = true;
    m_focusAt = now;
    m_byHand.reset();
}

void SwitchPlanner::chooseByHand(std::string profile) {
    m_byHand = std::move(profile);
}

std::optional<TimePoint> SwitchPlanner::settlesAt(TimePoint now) const {
    if (!m_focusKnown || m_byHand) return std::nullopt;
    const TimePoint at = m_focusAt + kSettleTime;
    if (now >= at) return std::nullopt;
    return at;
}

std::optional<ActiveProfile> SwitchPlanner::wanted(const Facts& facts, TimePoint now) const {
    const auto exists = [&](const std::string& name) {
        return std::find(facts.profiles.begin(), facts.profiles.end(), name) !=
               facts.profiles.end();
    };
    if (m_byHand) {
        if (!exists(*m_byHand)) return std::nullopt;
        return ActiveProfile{*m_byHand, Choice::ByHand};
    }
    if (!m_focusKnown || now < m_focusAt + kSettleTime) return std::nullopt;
    auto target = profileFor(facts.rules, m_ids, facts.profiles);
    if (!target) return std::nullopt;
    return ActiveProfile{std::move(*target), Choice::Automatic};
}

std::optional<ActiveProfile> SwitchPlanner::decide(const Facts& facts, TimePoint now) {
    if (m_running) return std::nullopt;
    if (m_byHand && std::find(facts.profiles.begin(), facts.profiles.end(), *m_byHand) ==
                        facts.profiles.end()) {
        m_byHand.reset();  // deleted meanwhile: the application in front decides again
    }
    if (settlesAt(now)) return std::nullopt;  // still settling: the earlier state stands
    std::optional<ActiveProfile> target = wanted(facts, now);
    m_waiting.reset();
    if (!target) {
        m_failed.reset();
        return std::nullopt;
    }
    if (m_active && m_active->name == target->name) {
        // Already on the keyboard; picking it by hand makes it a choice by hand.
        if (target->choice == Choice::ByHand) m_active->choice = Choice::ByHand;
        m_failed.reset();
        return std::nullopt;
    }
    if (m_failed) {
        // A failure blocks until the keyboard arrives again, unless another profile is wanted
        // from a keyboard that is there.
        const bool sameTarget = m_failed->name == target->name;
        if (!m_retry && (sameTarget || !facts.keyboardConnected)) {
            m_failed = target;
            return std::nullopt;
        }
        m_failed.reset();
        m_retry = false;
    }
    if (!facts.keyboardConnected) {
        m_failed = target;
        m_retry = false;
        return std::nullopt;
    }
    if (facts.unsavedEdits) {
        m_waiting = target;
        return std::nullopt;
    }
    m_running = target;
    return target;
}

void SwitchPlanner::switchEnded(bool ok) {
    if (!m_running) return;
    if (ok) {
        m_active = std::move(m_running);
        m_failed.reset();
    } else {
        m_failed = std::move(m_running);
        m_retry = false;
    }
    m_running.reset();
}

void SwitchPlanner::keyboardArrived() {
    if (m_failed) m_retry = true;
}

void SwitchPlanner::profileRenamed(const std::string& from, const std::string& to) {
    for (auto* p : {&m_active, &m_running, &m_waiting, &m_failed}) {
        if (*p && (*p)->name == from) (*p)->name = to;
    }
    if (m_byHand == from) m_byHand = to;
}

void SwitchPlanner::profileRemoved(const std::string& name) {
    for (auto* p : {&m_active, &m_waiting, &m_failed}) {
        if (*p && (*p)->name == name) p->reset();
    }
    if (m_byHand == name) m_byHand.reset();
}

SwitchStatus SwitchPlanner::status() const {
    if (m_running) return {SwitchState::Switching, *m_running};
    if (m_failed) return {SwitchState::Failed, *m_failed};
    if (m_waiting) return {SwitchState::WaitingForEdits, *m_waiting};
    if (m_active) return {SwitchState::Active, *m_active};
    return {};
}

}  // namespace tavrik::appprofiles
